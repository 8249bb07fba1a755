#pragma once

#include "workbook/xls/records.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

// The shared string table (SST with its CONTINUE records) and its index
// (EXTSST). Text cells refer to strings by their position in the table.
namespace velmora::xls {

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

// The strings of a loaded table. Loading notes where every 16th string lies
// in the stream; reading the cells one after another takes each string from
// there (read), while what looks strings up again and again (the
// calculation, the writer) has the table's characters in one pool, made on
// first use (text, stored).
class SharedStrings {
public:
    quint32 total = 0;  // references from cells, as the file says

    size_t size() const { return count_; }
    // The text with line breaks normalized; it lives as long as the table.
    QStringView text(size_t i) const {
        const Entry& e = pool().entries[i];
        return QStringView(pool_->chars).mid(e.offset, e.length);
    }
    bool hasExtra(size_t i) const { return pool().extras.count(quint32(i)) != 0; }
    SstView stored(size_t i) const;
    // The text with line breaks normalized into out, reusing its room.
    void read(size_t i, QString& out) const;

private:
    friend SharedStrings readSst(const QByteArray&, const std::vector<Record>&, size_t);

    struct Entry {
        quint32 offset = 0;
        quint32 length : 31;
        quint32 wide : 1;
    };
    struct Pool {
        QString chars;
        std::vector<Entry> entries;
        std::unordered_map<quint32, SstExtra> extras;
    };
    const Pool& pool() const;

    QByteArray stream_;
    std::vector<Record> records_;  // the SST record and its CONTINUE records
    // Where every kStep-th string starts in the stream, until the pool is
    // made; and where the string after the one read last starts.
    static constexpr size_t kStep = 16;
    mutable std::vector<quint32> starts_;
    struct Next {
        size_t index = 0;
        quint32 position = 0;
    };
    mutable Next next_;
    size_t count_ = 0;
    qsizetype characters_ = 0;  // in all strings, for the pool
    mutable std::optional<Pool> pool_;
};

// Reads the table starting at records[index] (the SST record): where each
// string starts. Throws XlsError when a string runs past the table's end.
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
