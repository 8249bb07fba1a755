#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// The one record layer of the workbook stream: splitting a substream into
// BIFF records, reading data that carries on in CONTINUE records, appending
// records (split into CONTINUE records where asked), and which records
// belong to the cell record before them. Nothing else in the engine knows
// about CONTINUE.
namespace velmora::xls {

namespace rt {
inline constexpr quint16 kFormula = 0x0006, kEof = 0x000A, kExternSheet = 0x0017, kName = 0x0018,
                         kExternName = 0x0023, kContinue = 0x003C, kCodePage = 0x0042,
                         kDateMode = 0x0022, kFilePass = 0x002F, kFont = 0x0031,
                         kDefColWidth = 0x0055, kColInfo = 0x007D, kBoundSheet = 0x0085,
                         kStandardWidth = 0x0099, kMulRk = 0x00BD, kMulBlank = 0x00BE,
                         kRString = 0x00D6, kDbCell = 0x00D7, kXf = 0x00E0, kMergedCells = 0x00E5,
                         kSst = 0x00FC, kLabelSst = 0x00FD, kExtSst = 0x00FF, kRecalcId = 0x01C1,
                         kDimensions = 0x0200, kBlank = 0x0201, kNumber = 0x0203, kLabel = 0x0204,
                         kBoolErr = 0x0205, kString = 0x0207, kRow = 0x0208, kIndex = 0x020B,
                         kArray = 0x0221, kDefaultRowHeight = 0x0225, kTable = 0x0236,
                         kWindow2 = 0x023E, kRk = 0x027E, kStyle = 0x0293, kFormat = 0x041E,
                         kSupBook = 0x01AE, kCountry = 0x008C,
                         kShrFmla = 0x04BC, kBof = 0x0809;
}

// The largest record body Excel writes; longer data goes on in CONTINUE.
inline constexpr int kMaxRecordBody = 8224;

struct Record {
    quint16 type = 0;
    quint16 size = 0;  // body length
    quint32 pos = 0;   // position of the 4-byte header in the stream (streams stay under 4 GB)

    const char* body(const QByteArray& stream) const { return stream.constData() + pos + 4; }
    qint64 end() const { return pos + 4 + size; }
};

// The records of the substream starting at pos (a BOF) up to and including
// its matching EOF; substreams nested inside (embedded charts) are part of
// it. Throws XlsError when a record runs past the end of the stream or the
// substream never ends.
std::vector<Record> readSubstream(const QByteArray& stream, qint64 pos);

// Appends one record; bodies longer than kMaxRecordBody are the caller's
// business (only the shared string table needs them, and splits itself).
void appendRecord(QByteArray& out, quint16 type, const QByteArray& body);
void appendRecord(QByteArray& out, quint16 type, const char* body, qsizetype size);
QByteArray makeRecord(quint16 type, const QByteArray& body);
// One record of this type whose body goes on in CONTINUE records: a body
// per record, as the caller split them.
void appendContinued(QByteArray& out, quint16 type, const std::vector<QByteArray>& bodies);

// The index just past records[i] and the CONTINUE records carrying it on.
size_t pastContinues(const std::vector<Record>& records, size_t i);
// The body bytes of records[i] and of the CONTINUE records carrying it on.
qint64 continuedSize(const std::vector<Record>& records, size_t i);

// The records that belong to the cell record before them and move with it:
// a FORMULA's SHRFMLA, ARRAY or TABLE and its STRING (each possibly carried
// on in CONTINUE records).
bool belongsToCell(quint16 type);
// The index just past the cell record at i and the records belonging to it.
size_t pastCell(const std::vector<Record>& records, size_t i);
// The record of this type belonging to the cell record at i, or -1.
qint64 cellFollower(const std::vector<Record>& records, size_t i, quint16 type);

// Reads data that starts in one record and may carry on in the CONTINUE
// records after it. Every read is bounds-checked; running out of data throws
// XlsError.
class RecordReader {
public:
    RecordReader(const QByteArray& stream, const std::vector<Record>& records, size_t first,
                 bool followContinues = true);
    // A reader going on from a position() an earlier reader over the same
    // records gave.
    static RecordReader at(const QByteArray& stream, const std::vector<Record>& records,
                           quint32 position);

    quint8 u8();
    quint16 u16();
    quint32 u32();
    // Bytes that may span record boundaries (rich-text runs, phonetic data).
    QByteArray bytes(qint64 n);
    void skip(qint64 n) {
        if (offset_ + n <= records_[index_].size)
            offset_ += int(n);
        else
            skipOn(n);
    }
    // Characters of a string: at a record boundary inside the characters the
    // next CONTINUE starts with a flag byte that may switch the width.
    QString chars(qint64 count, bool wide);
    void appendChars(QString& out, qint64 count, bool wide);
    void skipChars(qint64 count, bool wide);

    // Where the next byte comes from: record index and offset in its body.
    size_t recordIndex() const { return index_; }
    int offsetInRecord() const { return offset_; }
    // What is left of the current record.
    QByteArrayView rest() const {
        return QByteArrayView(records_[index_].body(stream_) + offset_,
                              records_[index_].size - offset_);
    }
    // The same as a position in the stream.
    quint32 position() const { return records_[index_].pos + 4 + quint32(offset_); }
    bool atEnd();

private:
    template <typename Take>
    void walkChars(qint64 count, bool wide, Take take);
    void skipOn(qint64 n);  // into the CONTINUE records after this one
    void nextRecord();
    const char* need(int n);  // n bytes inside the current record

    const QByteArray& stream_;
    const std::vector<Record>& records_;
    size_t index_;
    int offset_ = 0;
    bool follow_;
};

// The record's name for dumps ("LABELSST"), or "" when unknown.
QString recordName(quint16 type);

}  // namespace velmora::xls
