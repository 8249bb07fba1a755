// The sheet window shows a sheet as the file describes it: number formats,
// fonts, fills, borders, merged cells, frozen panes; and how fast it paints.
#include "common/fonts.h"
#include "common/singlewindow.h"
#include "fixtures.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/sheetview.h"
#include "workbook/embedded/sheetwindow.h"

#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::test;

class TestSheetLooks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void corpusFilesLook_data();
    void corpusFilesLook();
};

void TestSheetLooks::corpusFilesLook_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("sheet");
    QTest::newRow("WPS merges") << "phpss_RichTextFontSize_wps_zh_sheets.xls" << 0;
    QTest::newRow("frozen, fills") << "poi_29982_multiline_long_sst_continue.xls" << 0;
    QTest::newRow("frozen Chinese") << "easyexcel_t01_mac2016_zh_multiline.xls" << 0;
    QTest::newRow("dates merged") << "poi_12561-1_ja_multiline_merged.xls" << 0;
    QTest::newRow("zh-tw borders") << "poi_12843-1_zh-tw_40sheets.xls" << 0;
}

void TestSheetLooks::corpusFilesLook() {
    QFETCH(QString, file);
    QFETCH(int, sheet);
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmoravm2.1.xls");
    QVERIFY(QFile::copy(qEnvironmentVariable("VELMORA_CORPUS") + u'/' + file, path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EmbeddedHost host;
    host.open(path);
    host.show();
    SheetWindow* w = existingWindow<SheetWindow>();
    w->showSheet(sheet);
    w->resize(1200, 800);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QString folder = qEnvironmentVariable("VELMORA_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QTest::qWait(100);
        QVERIFY(w->grab().save(folder + "/sheetwindow-" +
                               QString(QTest::currentDataTag()).replace(' ', '-') + ".png"));
    }
}

QTEST_MAIN(TestSheetLooks)
#include "test_sheetlooks.moc"
