#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <unordered_map>
#include <vector>

// The shared string table (SST with its CONTINUE records) and its index
// (EXTSST). Text cells refer to strings by their position in the table.
namespace velmora::xls {

struct Record;

// What a string carries besides its characters, kept so that a rewritten
// table gives every string back its formatting and phonetic guide.
struct SstExtra {
    QString stored;       // the characters as stored, when they differ from the text
    QByteArray runs;      // rich-text formatting runs, 4 bytes each
    QByteArray phonetic;  // ExtRst data
};

// A string as it goes into the table.
struct SstView {
    QStringView stored;
    const SstExtra* extra = nullptr;
    bool wide = false;  // 16-bit characters even where 8 bits would do
};

// The strings of a loaded table, their characters in one pool: a class
// workbook holds few strings, a large one hundreds of thousands.
class SharedStrings {
public:
    quint32 total = 0;  // references from cells, as the file says

    size_t size() const { return entries_.size(); }
    // The text with line breaks normalized.
    QStringView text(size_t i) const {
        return QStringView(pool_).mid(entries_[i].offset, entries_[i].length);
    }
    bool hasExtra(size_t i) const { return extras_.count(quint32(i)) != 0; }
    SstView stored(size_t i) const;

    void reserve(size_t strings, qsizetype characters);
    QString& pool() { return pool_; }
    // The string whose text was just appended to the pool at offset.
    void add(qsizetype offset, bool wide, SstExtra* extra);

private:
    struct Entry {
        quint32 offset = 0;
        quint32 length : 31;
        quint32 wide : 1;
    };
    QString pool_;
    std::vector<Entry> entries_;
    std::unordered_map<quint32, SstExtra> extras_;
};

// Reads the table starting at records[index] (the SST record).
SharedStrings readSst(const QByteArray& stream, const std::vector<Record>& records, size_t index);

// A string of the table to write, by position.
using SstSource = std::function<SstView(size_t)>;

// The SST record, its CONTINUE records and the EXTSST record for count
// strings, to be placed at stream position `at`. Records hold at most 8224
// bytes: a string's header and first character are never split, characters
// carried on in a CONTINUE start with a flag byte, formatting runs are never
// split, phonetic data may split anywhere. EXTSST indexes every
// max(count / 128 + 1, 8)-th string.
QByteArray writeSst(quint32 total, size_t count, const SstSource& string, qint64 at);

}  // namespace velmora::xls
