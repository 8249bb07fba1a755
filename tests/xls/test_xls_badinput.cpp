#include "corpusfile.h"
#include "workbook/xls/bytes.h"
#include "workbook/xls/container.h"
#include "workbook/xls/records.h"
#include "workbook/xls/xlsworkbook.h"
#include "workbookparts.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace velmora;
using namespace velmora::xls;
using test::find;
using test::withStream;

Q_DECLARE_METATYPE(std::function<QByteArray()>)

namespace {

QByteArray created() {
    XlsWorkbook wb = XlsWorkbook::create({QStringLiteral("Sheet1"), QStringLiteral("第二页")});
    wb.setText(0, {0, 0}, QStringLiteral("文字"));
    wb.setText(0, {1, 0}, QStringLiteral("别的"));
    wb.setNumber(0, {2, 1}, 3);
    return wb.toBytes();
}

// Compound-file surgery on the raw bytes: the sector holding a stream's
// first block, and the FAT entry that chains it.
struct Cfb {
    QByteArray bytes;
    quint32 sector(quint32 n) const { return 512 * (n + 1); }
    qsizetype directoryEntry(const QString& name) const {
        for (quint32 s = u32(bytes.constData() + 0x30); s < 0xFFFFFFF0;) {
            for (int e = 0; e < 4; ++e) {
                const qsizetype at = sector(s) + 128 * e;
                const QString n =
                    QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + at),
                                       qMax(0, u16(bytes.constData() + at + 0x40) / 2 - 1));
                if (n == name)
                    return at;
            }
            s = fat(s);
        }
        return -1;
    }
    qsizetype fatEntry(quint32 n) const {
        return sector(u32(bytes.constData() + 0x4C + 4 * (n / 128))) + 4 * (n % 128);
    }
    quint32 fat(quint32 n) const { return u32(bytes.constData() + fatEntry(n)); }
};

}  // namespace

// Whatever the bytes, loading ends in a workbook or a clear XlsError:
// never a crash, a hang or an unbounded allocation.
class TestXlsBadInput : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void missingFileIsAnError();
    void hostileBytesGiveAClearError_data();
    void hostileBytesGiveAClearError();
    void truncatedFilesAreRefused_data();
    void truncatedFilesAreRefused();
};

void TestXlsBadInput::missingFileIsAnError() {
    QTemporaryDir dir;
    try {
        XlsWorkbook::load(dir.filePath(QStringLiteral("没有.xls")));
        QFAIL("loaded a missing file");
    } catch (const XlsError& e) {
        QVERIFY(e.message().contains(QStringLiteral("没有.xls")));
    }
}

void TestXlsBadInput::hostileBytesGiveAClearError_data() {
    QTest::addColumn<std::function<QByteArray()>>("bytes");
    QTest::newRow("empty") << std::function<QByteArray()>([] { return QByteArray(); });
    QTest::newRow("a text file") << std::function<QByteArray()>(
        [] { return QByteArrayLiteral("序号,姓名\n1,张三\n"); });
    QTest::newRow("compound file header only")
        << std::function<QByteArray()>([] { return created().left(512); });
    QTest::newRow("no workbook stream") << std::function<QByteArray()>([] {
        Container c = readContainer(created());
        c.entries.front().name = QStringLiteral("Something");
        return writeContainer(c);
    });
    QTest::newRow("Excel 95 Book stream") << std::function<QByteArray()>([] {
        Container c = readContainer(created());
        c.entries.front().name = QStringLiteral("Book");
        return writeContainer(c);
    });
    QTest::newRow("record longer than the stream") << std::function<QByteArray()>([] {
        return withStream(created(),
                          [](QByteArray& s) { put16(s.data() + find(s, rt::kSst) + 2, 0xFFFF); });
    });
    QTest::newRow("sheet position past the end") << std::function<QByteArray()>([] {
        return withStream(created(), [](QByteArray& s) {
            put32(s.data() + find(s, rt::kBoundSheet) + 4, 0x7FFFFFF0);
        });
    });
    QTest::newRow("sheet overlapping the globals") << std::function<QByteArray()>([] {
        return withStream(created(),
                          [](QByteArray& s) { put32(s.data() + find(s, rt::kBoundSheet) + 4, 0); });
    });
    QTest::newRow("string count larger than the data") << std::function<QByteArray()>([] {
        return withStream(created(), [](QByteArray& s) {
            // The first string claims 65535 characters.
            put16(s.data() + find(s, rt::kSst) + 12, 0xFFFF);
        });
    });
    QTest::newRow("cell naming a string that does not exist") << std::function<QByteArray()>([] {
        return withStream(created(), [](QByteArray& s) {
            put32(s.data() + find(s, rt::kLabelSst) + 10, 0x00FFFFFF);
        });
    });
    QTest::newRow("encrypted") << std::function<QByteArray()>([] {
        return withStream(created(), [](QByteArray& s) {
            put16(s.data() + find(s, rt::kCodePage), rt::kFilePass);
        });
    });
    QTest::newRow("loop in the sector chain") << std::function<QByteArray()>([] {
        Cfb f{created()};
        const qsizetype entry = f.directoryEntry(QStringLiteral("Workbook"));
        const quint32 start = u32(f.bytes.constData() + entry + 0x74);
        put32(f.bytes.data() + f.fatEntry(f.fat(start)), start);
        return f.bytes;
    });
    QTest::newRow("stream claiming 2 GB") << std::function<QByteArray()>([] {
        Cfb f{created()};
        put32(f.bytes.data() + f.directoryEntry(QStringLiteral("Workbook")) + 0x78, 0x7FFFFFF0);
        return f.bytes;
    });
    QTest::newRow("FAT claiming a million sectors") << std::function<QByteArray()>([] {
        Cfb f{created()};
        put32(f.bytes.data() + 0x2C, 1000000);
        return f.bytes;
    });
}

void TestXlsBadInput::hostileBytesGiveAClearError() {
    QFETCH(std::function<QByteArray()>, bytes);
    const QByteArray file = bytes();
    QElapsedTimer clock;
    clock.start();
    try {
        XlsWorkbook::fromBytes(file);
        QFAIL("hostile bytes loaded as a workbook");
    } catch (const XlsError& e) {
        QVERIFY(!e.message().isEmpty());
    }
    QVERIFY(clock.elapsed() < 5000);
}

void TestXlsBadInput::truncatedFilesAreRefused_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("percent");
    for (const char* f :
         {"poi_29982_multiline_long_sst_continue.xls", "poi_47245_trailing_blank_sheetname.xls",
          "easyexcel_t01_mac2016_zh_multiline.xls"})
        for (int percent : {1, 10, 25, 50, 75, 90, 99})
            QTest::addRow("%s %d%%", f, percent) << QString::fromLatin1(f) << percent;
}

void TestXlsBadInput::truncatedFilesAreRefused() {
    // A file cut short (a copy that did not finish) is never taken for a
    // workbook with fewer cells.
    QFETCH(QString, file);
    QFETCH(int, percent);
    const QByteArray whole = test::corpusBytes(file);
    QVERIFY(!whole.isEmpty());
    QVERIFY_THROWS_EXCEPTION(XlsError,
                             XlsWorkbook::fromBytes(whole.left(whole.size() * percent / 100)));
}

QTEST_GUILESS_MAIN(TestXlsBadInput)
#include "test_xls_badinput.moc"
