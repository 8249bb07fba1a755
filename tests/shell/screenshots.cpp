// Opens each window of the program on the real display and saves a picture
// of it: welcome.png, launcher-active.png, launcher-resting.png,
// menu-file.png, menu-tools.png, console-1..3.png, screen.png (the whole
// screen with the bar at the top edge), archive-1..6.png (student 1 looked
// up), comments.png (student 1 chosen, a comment and a search typed),
// comments-overview.png, scores.png, plans-1..2.png,
// settings.png (with settings made earlier), sheetwindow.png (学生档案
// selected), sheet-1..9.png (each sheet of the workbook in turn) and
// saver.png (a few seconds of flowers with the unlock dialog open).
// Usage: velmora_screenshots OUTPUT_FOLDER
#include "common/fonts.h"
#include "common/messages.h"
#include "common/savequestion.h"
#include "common/singlewindow.h"
#include "common/xpbutton.h"
#include "console/consoleform.h"
#include "console/featurewindows.h"
#include "saver/screensaver.h"
#include "saver/unlockdialog.h"
#include "shell/launcher.h"
#include "shell/menuholder.h"
#include "shell/welcomewindow.h"
#include "testworkbook.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>

using namespace velmora;

namespace {
QDir out;

void save(QWidget* w, const QString& name) {
    if (!QTest::qWaitForWindowExposed(w))
        std::fprintf(stderr, "%s was not shown in time\n", qPrintable(name));
    QTest::qWait(200);
    w->grab().save(out.filePath(name));
    std::printf("%s\n", qPrintable(out.filePath(name)));
}

// Every page of the window's tab widget NAME, as PREFIX-1.png, PREFIX-2.png…
void savePages(QWidget* w, const QString& name, const QString& prefix) {
    auto* pages = w->findChild<QTabWidget*>(name);
    if (!pages) {
        std::fprintf(stderr, "%s has no %s\n", qPrintable(prefix), qPrintable(name));
        return;
    }
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        save(w, QStringLiteral("%1-%2.png").arg(prefix).arg(page + 1));
    }
}

// The newest top-level window whose object name is NAME.
QWidget* topLevel(const QString& name) {
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            found = w;
    return found;
}

// Student 1's record card as a teacher fills it in, field by field in the
// order of the card's columns (the 共青团员 fields and the later schools left
// empty).
void seedStudent(test::TestWorkbook& book) {
    const QStringList values =
        QStringLiteral(
            "1|2025010512|张晓明|男|江苏南京|汉|2012-05|320102201205120017|2025-09|2019-10|"
            "南京市琅琊路小学|||城镇|健康|张建国|南京市鼓楼区北京西路12号3幢401室|025-83301234|"
            "210008|书法、篮球、围棋|张建国|1982-03|中共党员|南京市第一医院|主治医师|13912345678|"
            "李秀兰|1984-07|群众|鼓楼区实验小学|教师|13887654321|琅琊路小学|2018-09至2025-06|"
            "王老师||||||||||曾获区小学生书法比赛一等奖。|2025年9月3日家访：家长重视学习习惯的培养。\n"
            "2025年10月8日电话联系：作业按时完成，字迹比开学时工整。|"
            "上课专心，乐于助人，担任语文课代表。每天早到教室，帮助值日生整理讲台，"
            "课间常给同学讲解数学题，期中考试后主动帮助两位同学订正错题。")
            .split(u'|');
    const QStringList columns = layout::archiveColumns();
    for (int i = 0; i < columns.size() && i < values.size(); ++i)
        if (!values[i].isEmpty())
            book.put(layout::kArchiveSheet, columns[i] + QLatin1String("2"), values[i]);
}

// Students 2 to 6 of the class, with comments that share sentences.
void seedComments(test::TestWorkbook& book) {
    const QString shared[] = {QStringLiteral("上课认真听讲，积极回答问题。"),
                              QStringLiteral("按时完成作业，字迹工整。")};
    const QString names[] = {QStringLiteral("李华"), QStringLiteral("王芳"), QStringLiteral("赵磊"),
                             QStringLiteral("陈静"), QStringLiteral("刘洋")};
    for (int n = 2; n <= 6; ++n) {
        const QString row = QString::number(n + 1);
        book.put(layout::kArchiveSheet, QStringLiteral("A") + row, QString::number(n));
        book.put(layout::kCommentsSheet, QStringLiteral("B") + row, names[n - 2]);
        if (n != 4)
            book.put(layout::kCommentsSheet, QStringLiteral("AM") + row,
                     QStringLiteral("你乐于助人，热爱集体。") + shared[n % 2]);
    }
}

void saveScreen(const QString& name) {
    QTest::qWait(200);
    QGuiApplication::primaryScreen()->grabWindow(0).save(out.filePath(name));
    std::printf("%s\n", qPrintable(out.filePath(name)));
}
}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    out = QDir(QString::fromLocal8Bit(argv[1]));
    installFontSubstitutions();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    test::TestWorkbook book;

    auto* welcome = new WelcomeWindow([] { return nullptr; }, QString());
    welcome->show();
    save(welcome, QStringLiteral("welcome.png"));

    QPoint pointer(600, 0);
    Launcher* bar = showSingle<Launcher>();
    bar->setPointerSource([&pointer] { return pointer; });
    for (QTimer* timer : bar->findChildren<QTimer*>())
        timer->stop();  // the pictures show the ticks made here
    bar->pointerTick();
    save(bar, QStringLiteral("launcher-active.png"));
    saveScreen(QStringLiteral("screen.png"));
    welcome->close();

    pointer = QPoint(600, 300);
    bar->pointerTick();
    for (int tick = 0; tick < 3; ++tick)  // black, white, yellow
        bar->outlineTick();
    save(bar, QStringLiteral("launcher-resting.png"));

    bar->popUpFileMenu();
    save(MenuHolder::instance()->fileMenu(), QStringLiteral("menu-file.png"));
    MenuHolder::instance()->fileMenu()->close();
    pointer = QPoint(560, 40);
    bar->popUpToolsMenu();
    save(MenuHolder::instance()->toolsMenu(), QStringLiteral("menu-tools.png"));
    MenuHolder::instance()->toolsMenu()->close();

    ConsoleForm* console = showSingle<ConsoleForm>();
    savePages(console, QStringLiteral("MultiPage1"), QStringLiteral("console"));
    console->close();

    seedStudent(book);
    MessageRecorder quiet;  // the look-up's closing message would wait for OK
    openStudentArchive();
    QWidget* archive = topLevel(QStringLiteral("UserForm1"));
    archive->findChild<QLineEdit*>(QStringLiteral("TextBox1"))->setText(QStringLiteral("1"));
    QTest::mouseClick(archive->findChild<QWidget*>(QStringLiteral("CommandButton2")),
                      Qt::LeftButton);
    savePages(archive, QStringLiteral("MultiPage1"), QStringLiteral("archive"));
    archive->close();

    seedComments(book);
    openCommentWriter();
    QWidget* writer = topLevel(QStringLiteral("UserForm7"));
    writer->findChild<QLineEdit*>(QStringLiteral("TextBox12"))->setText(QStringLiteral("1"));
    writer->findChild<QPlainTextEdit*>(QStringLiteral("TextBox13"))
        ->setPlainText(QStringLiteral("你是一个懂事的孩子。上课认真听讲，积极回答问题。按时完成作业，"
                                      "字迹工整。希望你继续努力！"));
    writer->findChild<QLineEdit*>(QStringLiteral("LibrarySearch"))->setText(QStringLiteral("工整"));
    save(writer, QStringLiteral("comments.png"));
    QTest::mouseClick(writer->findChild<QWidget*>(QStringLiteral("OverviewButton")), Qt::LeftButton);
    save(writer->findChild<QWidget*>(QStringLiteral("ClassOverview")),
         QStringLiteral("comments-overview.png"));
    {
        QuestionAnswerer discard(SaveAnswer::Discard);  // the typed comment is not stored
        writer->close();
    }

    openScoreQuery();
    QWidget* scores = topLevel(QStringLiteral("ScoreQueryForm"));
    save(scores, QStringLiteral("scores.png"));
    scores->close();

    openPlansAndSummaries();
    QWidget* plans = topLevel(QStringLiteral("PlanSummaryForm"));
    savePages(plans, QStringLiteral("MultiPage3"), QStringLiteral("plans"));
    plans->close();

    // Settings made earlier: the window opens with them.
    for (const auto& [cell, text] :
         {std::pair{"C4", "南京市第一中学"}, std::pair{"C5", "2025-2026学年度第一学期"},
          std::pair{"C6", "初一（3）"}, std::pair{"C7", "王老师"}, std::pair{"B11", "语文"},
          std::pair{"C11", "数学"}, std::pair{"D11", "英语"}, std::pair{"B12", "120"},
          std::pair{"C12", "120"}, std::pair{"D12", "120"}})
        StudentWorkbook::write(layout::kSettingsSheet, QString::fromLatin1(cell),
                               QString::fromUtf8(text));
    openClassSettings();
    QWidget* settings = topLevel(QStringLiteral("UserForm2"));
    save(settings, QStringLiteral("settings.png"));
    settings->close();

    StudentWorkbook::select(layout::kArchiveSheet);
    save(topLevel(QStringLiteral("SheetWindow")), QStringLiteral("sheetwindow.png"));
    const QStringList sheets = {
        layout::kSettingsSheet,   layout::kArchiveSheet,  layout::kScoresSheet,
        layout::kCommentsSheet,   layout::kRatesSheet,    layout::kHandbookSheet,
        layout::kRecordCardSheet, layout::kNotebookSheet, layout::kListsSheet};
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        StudentWorkbook::select(sheets[i]);
        save(topLevel(QStringLiteral("SheetWindow")), QStringLiteral("sheet-%1.png").arg(i + 1));
    }

    saver::ScreenSaver* saver = saver::startScreenSaver();
    QTest::qWait(3000);
    QTest::keyClick(saver, Qt::Key_Space);
    QTest::qWait(300);
    saveScreen(QStringLiteral("saver.png"));
    return 0;
}
