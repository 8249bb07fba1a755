#include "workbook/xls/sst.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/records.h"
#include "workbook/xls/xlstring.h"

#include <QSysInfo>
#include <algorithm>
#include <cstring>

namespace velmora::xls {

namespace {

constexpr quint8 kWide = 0x01, kPhonetic = 0x04, kRich = 0x08;

struct StringHeader {
    quint16 count = 0;
    bool wide = false;
    quint16 runs = 0;      // rich-text formatting runs after the characters
    quint32 phonetic = 0;  // bytes of phonetic data after the runs
    int size = 3;          // of the header itself

    qint64 charBytes() const { return qint64(count) * (wide ? 2 : 1); }
    qint64 bytesAfter() const { return qint64(runs) * 4 + phonetic; }
};

StringHeader readHeader(RecordReader& in) {
    StringHeader h;
    h.count = in.u16();
    const quint8 flags = in.u8();
    h.wide = flags & kWide;
    h.runs = (flags & kRich) ? in.u16() : 0;
    h.phonetic = (flags & kPhonetic) ? in.u32() : 0;
    h.size = 3 + ((flags & kRich) ? 2 : 0) + ((flags & kPhonetic) ? 4 : 0);
    return h;
}

// Most strings lie in one record with their header: those are read from
// its bytes without the record layer. True when `rest` holds the header
// and the characters after it.
bool wholeAt(QByteArrayView rest, StringHeader& h) {
    if (rest.size() < 3)
        return false;
    const char* p = rest.data();
    const quint8 flags = u8(p + 2);
    h.size = 3 + ((flags & kRich) ? 2 : 0) + ((flags & kPhonetic) ? 4 : 0);
    if (rest.size() < h.size)
        return false;
    h.count = u16(p);
    h.wide = flags & kWide;
    h.runs = (flags & kRich) ? u16(p + 3) : 0;
    h.phonetic = (flags & kPhonetic) ? u32(p + h.size - 4) : 0;
    return h.size + h.charBytes() <= rest.size();
}

// Reads a string's header and puts its characters into out from `at` on,
// leaving the reader at its runs and phonetic data; true when a CR is
// among them.
bool putString(RecordReader& in, QString& out, qsizetype at, StringHeader& h) {
    if (const QByteArrayView rest = in.rest(); wholeAt(rest, h)) {
        out.resize(at + h.count);
        const char* from = rest.data() + h.size;
        char16_t* to = reinterpret_cast<char16_t*>(out.data()) + at;
        bool cr = false;
        if (h.wide) {
            std::memcpy(to, from, size_t(h.count) * 2);
            if constexpr (QSysInfo::ByteOrder != QSysInfo::LittleEndian)
                for (int k = 0; k < h.count; ++k) to[k] = u16(from + 2 * k);
            for (int k = 0; k < h.count; ++k) cr |= to[k] == u'\r';
        } else {
            for (int k = 0; k < h.count; ++k) {
                to[k] = u8(from + k);
                cr |= from[k] == '\r';
            }
        }
        in.skip(h.size + h.charBytes());
        return cr;
    }
    h = readHeader(in);
    out.resize(at);
    in.appendChars(out, h.count, h.wide);
    return QStringView(out).mid(at).contains(u'\r');
}

// Moves the reader past one string; returns its header.
StringHeader skipString(RecordReader& in) {
    StringHeader h;
    if (wholeAt(in.rest(), h)) {
        in.skip(h.size + h.charBytes());
    } else {
        h = readHeader(in);
        in.skipChars(h.count, h.wide);
    }
    in.skip(h.bytesAfter());
    return h;
}

}  // namespace

SstView SharedStrings::stored(size_t i) const {
    const Pool& p = pool();
    const auto it = p.extras.find(quint32(i));
    const SstExtra* extra = it == p.extras.end() ? nullptr : &it->second;
    return SstView{extra && !extra->stored.isNull() ? QStringView(extra->stored) : text(i), extra,
                   bool(p.entries[i].wide)};
}

void SharedStrings::read(size_t i, QString& out) const {
    if (pool_) {
        out.resize(0);
        out.append(text(i));
        return;
    }
    // From the string after the one read last when i lies ahead of it by
    // less than a step (cells read in order of their strings), else from
    // the noted start before i.
    size_t at = i - i % kStep;
    quint32 position = starts_[i / kStep];
    if (next_.index <= i && i - next_.index < i - at) {
        at = next_.index;
        position = next_.position;
    }
    RecordReader in = RecordReader::at(stream_, records_, position);
    for (; at < i; ++at) skipString(in);
    StringHeader h;
    if (putString(in, out, 0, h))
        out = normalizeLineBreaks(out);
    in.skip(h.bytesAfter());
    next_ = {i + 1, in.position()};
}

// The whole table once more, every string's characters into the pool. A
// string holding CR keeps its characters as stored beside the text.
const SharedStrings::Pool& SharedStrings::pool() const {
    if (pool_)
        return *pool_;
    Pool p;
    p.chars.reserve(characters_);
    p.entries.reserve(count_);
    RecordReader in(stream_, records_, 0);
    in.skip(8);
    for (size_t i = 0; i < count_; ++i) {
        StringHeader h;
        const qsizetype offset = p.chars.size();
        const bool cr = putString(in, p.chars, offset, h);
        SstExtra extra;
        bool hasExtra = h.runs || h.phonetic;
        if (cr) {
            extra.stored = p.chars.mid(offset);
            p.chars.resize(offset);
            p.chars += normalizeLineBreaks(extra.stored);
            hasExtra = true;
        }
        if (hasExtra) {
            extra.runs = in.bytes(qint64(h.runs) * 4);
            extra.phonetic = in.bytes(h.phonetic);
            p.extras.emplace(quint32(i), std::move(extra));
        }
        Entry e;
        e.offset = quint32(offset);
        e.length = quint32(p.chars.size() - offset);
        e.wide = h.wide;
        p.entries.push_back(e);
    }
    pool_ = std::move(p);
    // The positions are not needed any more: read() takes the pool.
    std::vector<quint32>().swap(starts_);
    return *pool_;
}

SharedStrings readSst(const QByteArray& stream, const std::vector<Record>& records, size_t index) {
    SharedStrings sst;
    sst.stream_ = stream;
    sst.records_.assign(records.begin() + qsizetype(index),
                        records.begin() + qsizetype(pastContinues(records, index)));
    RecordReader in(stream, sst.records_, 0);
    sst.total = in.u32();
    const quint32 unique = in.u32();
    // The count comes from the file: an allocation never trusts it beyond
    // what the records can hold (a string takes at least 3 bytes).
    const qint64 bytes = continuedSize(records, index);
    sst.starts_.reserve(std::min<quint64>(unique, quint64(bytes / 3)) / SharedStrings::kStep + 1);
    quint32 i = 0;
    for (; i < unique && !in.atEnd(); ++i) {
        if (i % SharedStrings::kStep == 0)
            sst.starts_.push_back(in.position());
        sst.characters_ += skipString(in).count;
    }
    sst.count_ = i;
    return sst;
}

namespace {

// Lays out strings into record bodies of at most kMaxRecordBody bytes.
class SstLayout {
public:
    std::vector<QByteArray> bodies{record()};

    static QByteArray record() {
        QByteArray b;
        b.reserve(kMaxRecordBody);
        return b;
    }
    QByteArray& body() { return bodies.back(); }
    int room() const { return kMaxRecordBody - int(bodies.back().size()); }
    void newRecord() { bodies.push_back(record()); }

    // Whole units (a header with its first character, a formatting run)
    // never straddle two records.
    void ensure(int n) {
        if (room() < n)
            newRecord();
    }

    void characters(QStringView text, bool wide) {
        const int width = wide ? 2 : 1;
        qsizetype at = 0;
        while (at < text.size()) {
            if (room() < width) {
                newRecord();
                add8(body(), wide ? kWide : 0);
            }
            const qsizetype take = std::min<qsizetype>(text.size() - at, room() / width);
            const QStringView part = text.mid(at, take);
            QByteArray& b = body();
            const qsizetype start = b.size();
            b.resize(start + take * width);
            char* out = b.data() + start;
            if (wide && QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
                std::memcpy(out, part.utf16(), size_t(take) * 2);
            } else {
                for (qsizetype i = 0; i < take; ++i) {
                    const char16_t c = part[i].unicode();
                    if (wide)
                        put16(out + 2 * i, c);
                    else
                        out[i] = char(c);
                }
            }
            at += take;
        }
    }

    void runs(const QByteArray& runs) {
        for (qsizetype at = 0; at + 4 <= runs.size(); at += 4) {
            ensure(4);
            body().append(runs.constData() + at, 4);
        }
    }

    void anywhere(const QByteArray& data) {
        qsizetype at = 0;
        while (at < data.size()) {
            if (room() == 0)
                newRecord();
            const qsizetype take = std::min<qsizetype>(data.size() - at, room());
            body().append(data.constData() + at, take);
            at += take;
        }
    }
};

}  // namespace

QByteArray writeSst(quint32 total, size_t count, const SstSource& string, qint64 at) {
    SstLayout layout;
    add32(layout.body(), total);
    add32(layout.body(), quint32(count));

    const size_t perBucket = std::max<size_t>(count / 128 + 1, 8);
    struct BucketStart {
        size_t record;
        int offset;
    };
    std::vector<BucketStart> buckets;
    for (size_t i = 0; i < count; ++i) {
        const SstView s = string(i);
        const QStringView chars = s.stored;
        const bool wide = s.wide || !fitsLatin1(chars);
        const QByteArray noBytes;
        const QByteArray& runs = s.extra ? s.extra->runs : noBytes;
        const QByteArray& phonetic = s.extra ? s.extra->phonetic : noBytes;
        const int header = 3 + (runs.isEmpty() ? 0 : 2) + (phonetic.isEmpty() ? 0 : 4);
        layout.ensure(header + (chars.isEmpty() ? 0 : (wide ? 2 : 1)));
        if (i % perBucket == 0)
            buckets.push_back({layout.bodies.size() - 1, int(layout.body().size())});
        QByteArray& b = layout.body();
        add16(b, quint16(chars.size()));
        add8(b, quint8((wide ? kWide : 0) | (runs.isEmpty() ? 0 : kRich) |
                       (phonetic.isEmpty() ? 0 : kPhonetic)));
        if (!runs.isEmpty())
            add16(b, quint16(runs.size() / 4));
        if (!phonetic.isEmpty())
            add32(b, quint32(phonetic.size()));
        layout.characters(chars, wide);
        layout.runs(runs);
        layout.anywhere(phonetic);
    }

    QByteArray out;
    appendContinued(out, rt::kSst, layout.bodies);
    std::vector<qint64> recordPos;
    for (qint64 pos = at; const QByteArray& body : layout.bodies) {
        recordPos.push_back(pos);
        pos += 4 + body.size();
    }
    QByteArray ext;
    add16(ext, quint16(perBucket));
    for (const BucketStart& b : buckets) {
        // Position of the string in the stream, and its offset counted
        // from the start of its record's header.
        add32(ext, quint32(recordPos[b.record] + 4 + b.offset));
        add16(ext, quint16(4 + b.offset));
        add16(ext, 0);
    }
    appendRecord(out, rt::kExtSst, ext);
    return out;
}

}  // namespace velmora::xls
