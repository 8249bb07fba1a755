#include "workbook/xls/sst.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/records.h"
#include "workbook/xls/xlstring.h"

#include <QSysInfo>
#include <algorithm>

namespace velmora::xls {

namespace {
constexpr quint8 kWide = 0x01, kPhonetic = 0x04, kRich = 0x08;
}

SstView SharedStrings::stored(size_t i) const {
    const auto it = extras_.find(quint32(i));
    const SstExtra* extra = it == extras_.end() ? nullptr : &it->second;
    return SstView{extra && !extra->stored.isNull() ? QStringView(extra->stored) : text(i), extra,
                   bool(entries_[i].wide)};
}

void SharedStrings::reserve(size_t strings, qsizetype characters) {
    entries_.reserve(strings);
    pool_.reserve(characters);
}

void SharedStrings::add(qsizetype offset, bool wide, SstExtra* extra) {
    Entry e;
    e.offset = quint32(offset);
    e.length = quint32(pool_.size() - offset);
    e.wide = wide;
    if (extra)
        extras_.emplace(quint32(entries_.size()), std::move(*extra));
    entries_.push_back(e);
}

SharedStrings readSst(const QByteArray& stream, const std::vector<Record>& records, size_t index) {
    RecordReader in(stream, records, index);
    SharedStrings sst;
    sst.total = in.u32();
    const quint32 unique = in.u32();
    // The counts come from the file: an allocation never trusts them beyond
    // what the records can hold (a string takes at least 3 bytes).
    const qint64 bytes = continuedSize(records, index);
    sst.reserve(std::min<quint64>(unique, quint64(bytes / 3)), bytes);
    QString& pool = sst.pool();
    for (quint32 i = 0; i < unique && !in.atEnd(); ++i) {
        const quint16 count = in.u16();
        const quint8 flags = in.u8();
        const quint16 runCount = (flags & kRich) ? in.u16() : 0;
        const quint32 phoneticSize = (flags & kPhonetic) ? in.u32() : 0;
        const qsizetype offset = pool.size();
        in.appendChars(pool, count, flags & kWide);
        SstExtra extra;
        bool hasExtra = runCount || phoneticSize;
        if (QStringView(pool).mid(offset).contains(u'\r')) {
            extra.stored = pool.mid(offset);
            pool.resize(offset);
            pool += normalizeLineBreaks(extra.stored);
            hasExtra = true;
        }
        if (hasExtra) {
            extra.runs = in.bytes(qint64(runCount) * 4);
            extra.phonetic = in.bytes(phoneticSize);
        }
        sst.add(offset, flags & kWide, hasExtra ? &extra : nullptr);
    }
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
