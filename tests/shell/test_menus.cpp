// The launcher's two menus: items, order, separators and names; the About
// message and the home-page link.
#include "common/messages.h"
#include "shell/makerinfo.h"
#include "shell/menuholder.h"
#include "urlcatcher.h"

#include <QMenu>
#include <QTest>

using namespace velmora;

namespace {
// "caption@name" per item, "-" per separator.
QStringList items(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text() + u'@' + a->objectName());
    return out;
}

QAction* item(const char* name) {
    return MenuHolder::instance()->findChild<QAction*>(QLatin1String(name));
}
}  // namespace

class TestMenus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void menusHoldTheirItemsInOrder_data();
    void menusHoldTheirItemsInOrder();
    void aboutShowsTheMakersLines();
    void upgradeOpensTheHomePage();
};

void TestMenus::menusHoldTheirItemsInOrder_data() {
    QTest::addColumn<bool>("file");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("expected");
    const QStringList file = {"作者@mnu_xx1", "-", "数学屏保@mnu_xx3", "-",
                              "升级@sds",     "-", "退出@mnu_exit"};
    const QStringList tools = {"设置@", "-", "学生档案@", "-", "总结@hju", "-", "查询成绩@jjj"};
    QTest::newRow("文件") << true << "文件"
                          << "mnu_file" << file;
    QTest::newRow("工具") << false << "工具"
                          << "" << tools;
}

void TestMenus::menusHoldTheirItemsInOrder() {
    QFETCH(bool, file);
    QFETCH(QString, title);
    QFETCH(QString, name);
    QFETCH(QStringList, expected);
    MenuHolder* holder = MenuHolder::instance();
    QCOMPARE(MenuHolder::instance(), holder);  // one holder, never shown
    QVERIFY(!holder->isVisible());
    const QMenu* menu = file ? holder->fileMenu() : holder->toolsMenu();
    QCOMPARE(menu->title(), title);
    QCOMPARE(menu->objectName(), name);
    QCOMPARE(items(menu), expected);
}

void TestMenus::aboutShowsTheMakersLines() {
    MessageRecorder recorder;
    item("mnu_xx1")->trigger();
    QCOMPARE(recorder.messages().size(), 1);
    QCOMPARE(recorder.messages().first().title, QStringLiteral("《Velmora》vm2.1"));
    const QStringList lines = recorder.messages().first().text.split(QStringLiteral("\n\n"));
    QVERIFY(lines.size() >= 4);
    for (const QString& line : lines)  // two line feeds between each pair, never one
        QVERIFY2(!line.isEmpty() && !line.contains(u'\n'), qPrintable(line));
    for (const QString& expected :
         {maker::kCredit, maker::kTelephoneLine, maker::kEmailLine, maker::kHomePageLine})
        QVERIFY2(lines.contains(expected), qPrintable(expected));
}

void TestMenus::upgradeOpensTheHomePage() {
    test::UrlCatcher links;
    item("sds")->trigger();
    QCOMPARE(links.opened, QList<QUrl>{QUrl(maker::kHomePageLink)});
    QCOMPARE(links.opened.first().scheme(), QStringLiteral("https"));
}

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
