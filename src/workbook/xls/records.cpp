#include "workbook/xls/records.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/xlsworkbook.h"

#include <QSysInfo>
#include <algorithm>

namespace velmora::xls {

namespace {
[[noreturn]] void broken() {
    throw XlsError(QStringLiteral("工作簿的记录结构已损坏（记录超出了文件末尾）。"));
}
// Worksheets hold charts, charts hold nothing deeper in real files.
constexpr int kMaxNesting = 8;
}  // namespace

namespace {
// How many records the substream holds, counted on the headers alone, so
// that the record list is allocated once.
size_t countRecords(const QByteArray& stream, qint64 pos) {
    size_t n = 0;
    int depth = 0;
    const char* s = stream.constData();
    while (pos >= 0 && pos + 4 <= stream.size()) {
        const quint16 type = u16(s + pos);
        ++n;
        depth += type == rt::kBof ? 1 : type == rt::kEof ? -1 : 0;
        if (depth <= 0 || depth > kMaxNesting)
            break;
        pos += 4 + u16(s + pos + 2);
    }
    return n;
}
}  // namespace

std::vector<Record> readSubstream(const QByteArray& stream, qint64 pos) {
    std::vector<Record> records;
    records.reserve(countRecords(stream, pos));
    int depth = 0;
    const qint64 size = stream.size();
    do {
        if (pos < 0 || pos + 4 > size)
            broken();
        Record r;
        r.type = u16(stream.constData() + pos);
        r.size = u16(stream.constData() + pos + 2);
        r.pos = quint32(pos);
        if (r.end() > size)
            broken();
        if (records.empty() && r.type != rt::kBof)
            throw XlsError(QStringLiteral("工作簿的结构已损坏（工作表的位置不正确）。"));
        if (r.type == rt::kBof && ++depth > kMaxNesting)
            broken();
        if (r.type == rt::kEof)
            --depth;
        records.push_back(r);
        pos = r.end();
    } while (depth > 0);
    return records;
}

void appendRecord(QByteArray& out, quint16 type, const char* body, qsizetype size) {
    add16(out, type);
    add16(out, quint16(size));
    out.append(body, size);
}

void appendRecord(QByteArray& out, quint16 type, const QByteArray& body) {
    appendRecord(out, type, body.constData(), body.size());
}

QByteArray makeRecord(quint16 type, const QByteArray& body) {
    QByteArray out;
    appendRecord(out, type, body);
    return out;
}

void appendContinued(QByteArray& out, quint16 type, const std::vector<QByteArray>& bodies) {
    for (size_t i = 0; i < bodies.size(); ++i)
        appendRecord(out, i == 0 ? type : rt::kContinue, bodies[i]);
}

size_t pastContinues(const std::vector<Record>& records, size_t i) {
    ++i;
    while (i < records.size() && records[i].type == rt::kContinue) ++i;
    return i;
}

qint64 continuedSize(const std::vector<Record>& records, size_t i) {
    qint64 bytes = 0;
    const size_t end = pastContinues(records, i);
    for (size_t j = i; j < end; ++j) bytes += records[j].size;
    return bytes;
}

bool belongsToCell(quint16 type) {
    return type == rt::kString || type == rt::kShrFmla || type == rt::kArray ||
           type == rt::kTable || type == rt::kContinue;
}

size_t pastCell(const std::vector<Record>& records, size_t i) {
    ++i;
    while (i < records.size() && belongsToCell(records[i].type)) ++i;
    return i;
}

qint64 cellFollower(const std::vector<Record>& records, size_t i, quint16 type) {
    const size_t end = pastCell(records, i);
    for (size_t j = i + 1; j < end; ++j)
        if (records[j].type == type)
            return qint64(j);
    return -1;
}

RecordReader::RecordReader(const QByteArray& stream, const std::vector<Record>& records,
                           size_t first, bool followContinues)
    : stream_(stream), records_(records), index_(first), follow_(followContinues) {
    if (first >= records.size())
        broken();
}

void RecordReader::nextRecord() {
    if (!follow_ || index_ + 1 >= records_.size() || records_[index_ + 1].type != rt::kContinue)
        broken();
    ++index_;
    offset_ = 0;
}

bool RecordReader::atEnd() {
    if (offset_ < records_[index_].size)
        return false;
    return !follow_ || index_ + 1 >= records_.size() || records_[index_ + 1].type != rt::kContinue;
}

const char* RecordReader::need(int n) {
    if (offset_ == records_[index_].size)
        nextRecord();
    if (offset_ + n > records_[index_].size)
        broken();
    const char* p = records_[index_].body(stream_) + offset_;
    offset_ += n;
    return p;
}

quint8 RecordReader::u8() {
    return xls::u8(need(1));
}
quint16 RecordReader::u16() {
    return xls::u16(need(2));
}
quint32 RecordReader::u32() {
    return xls::u32(need(4));
}

QByteArray RecordReader::bytes(qint64 n) {
    QByteArray out;
    while (n > 0) {
        if (offset_ == records_[index_].size)
            nextRecord();
        const int take = int(std::min<qint64>(n, records_[index_].size - offset_));
        out.append(records_[index_].body(stream_) + offset_, take);
        offset_ += take;
        n -= take;
    }
    return out;
}

void RecordReader::skipOn(qint64 n) {
    while (n > 0) {
        if (offset_ == records_[index_].size)
            nextRecord();
        const int take = int(std::min<qint64>(n, records_[index_].size - offset_));
        offset_ += take;
        n -= take;
    }
}

QString RecordReader::chars(qint64 count, bool wide) {
    QString out;
    out.reserve(count);
    appendChars(out, count, wide);
    return out;
}

// Characters up to count, record by record: at a record boundary inside
// them the next CONTINUE starts with a flag byte that may switch the width.
// take(p, n, wide) gets each piece of n characters.
template <typename Take>
void RecordReader::walkChars(qint64 count, bool wide, Take take) {
    while (count > 0) {
        if (offset_ == records_[index_].size) {
            nextRecord();
            wide = xls::u8(need(1)) & 1;
        }
        const int width = wide ? 2 : 1;
        const qint64 n = std::min<qint64>(count, (records_[index_].size - offset_) / width);
        if (n == 0)
            broken();
        take(records_[index_].body(stream_) + offset_, n, wide);
        offset_ += int(n * width);
        count -= n;
    }
}

void RecordReader::appendChars(QString& out, qint64 count, bool wide) {
    walkChars(count, wide, [&out](const char* p, qint64 n, bool wide) {
        if (!wide) {
            out.append(QLatin1StringView(p, n));
            return;
        }
        const qsizetype at = out.size();
        out.resize(at + n);
        QChar* dst = out.data() + at;
        if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian)
            std::memcpy(dst, p, size_t(n) * 2);
        else
            for (qint64 i = 0; i < n; ++i) dst[i] = QChar(xls::u16(p + 2 * i));
    });
}

void RecordReader::skipChars(qint64 count, bool wide) {
    walkChars(count, wide, [](const char*, qint64, bool) {});
}

RecordReader RecordReader::at(const QByteArray& stream, const std::vector<Record>& records,
                              quint32 position) {
    // The last record whose body starts at or before the position; a
    // position at the very end of a body is where the next record goes on.
    if (records.empty() || position < records.front().pos + 4)
        broken();
    size_t first = 0, n = records.size();
    while (n > 1) {
        const size_t half = n / 2;
        if (records[first + half].pos + 4 <= position)
            first += half;
        n -= half;
    }
    if (position > records[first].end())
        broken();
    RecordReader in(stream, records, first);
    in.offset_ = int(position - (records[first].pos + 4));
    return in;
}

}  // namespace velmora::xls
