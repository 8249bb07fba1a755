// The record card's pages: where each field sits, the Tab order within a
// page, the captions, and that nothing is squeezed below its size.
#include "archive/studentarchiveform.h"
#include "common/fonts.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using velmora::archive::StudentArchiveForm;

namespace {
// Field n (TextBoxn): its column, tab page, group caption and label.
struct Field {
    const char* column;
    int page;
    const char* group;
    const char* label;  // "" where a column heading names it
};
// clang-format off
const Field kFields[] = {
    {"A", 0, "基本情况", "序号"}, {"B", 0, "基本情况", "学号"}, {"C", 0, "基本情况", "姓名"},
    {"D", 0, "基本情况", "性别"}, {"E", 0, "基本情况", "籍贯"}, {"F", 0, "基本情况", "民族"},
    {"G", 0, "基本情况", "出生年月"}, {"H", 0, "基本情况", "身份证号码"}, {"I", 0, "基本情况", "入校时间"},
    {"J", 0, "政治面貌", "加入时间:"}, {"K", 0, "政治面貌", "加入地点:"}, {"L", 0, "政治面貌", "加入时间:"},
    {"M", 0, "政治面貌", "加入地点:"}, {"N", 1, ".", "户口类别"}, {"O", 1, ".", "身体健康状况"},
    {"P", 1, ".", "家长姓名"}, {"R", 1, ".", "家庭住址"}, {"S", 1, ".", "电话"},
    {"T", 1, ".", "邮政编码"}, {"U", 1, "\u3000", "特长与爱好"}, {"V", 2, "父亲", "姓名"},
    {"W", 2, "父亲", "出生年月"}, {"X", 2, "父亲", "政治面目"}, {"Y", 2, "父亲", "工作单位"},
    {"Z", 2, "父亲", "职务"}, {"AA", 2, "父亲", "联系电话"}, {"AB", 2, "母亲", "姓名"},
    {"AC", 2, "母亲", "出生年月"}, {"AD", 2, "母亲", "政治面目"}, {"AE", 2, "母亲", "工作单位"},
    {"AF", 2, "母亲", "职务"}, {"AG", 2, "母亲", "联系电话"}, {"AH", 3, "  ", "学校名称"},
    {"AI", 3, "  ", "起止时间"}, {"AJ", 3, "  ", "证明人"}, {"AK", 3, "  ", ""},
    {"AL", 3, "  ", ""}, {"AM", 3, "  ", ""}, {"AN", 3, "  ", ""},
    {"AO", 3, "  ", ""}, {"AP", 3, "  ", ""}, {"AQ", 3, "  ", ""},
    {"AR", 3, "  ", ""}, {"AS", 3, "  ", ""}, {"AT", 4, "补充内容", ""},
    {"AU", 5, "家访记录", ""}, {"AV", 5, "在校表现", ""},
};
// clang-format on
const QString kHint = QStringLiteral("按Tab键可快速向下一个文本框中输入内容");

int pageOf(QTabWidget* pages, QWidget* w) {
    for (int i = 0; i < pages->count(); ++i)
        if (pages->widget(i)->isAncestorOf(w))
            return i;
    return -1;
}
}  // namespace

class TestArchiveLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { velmora::installFontSubstitutions(); }
    void init();
    void cleanup() { form.reset(); }
    void fieldsSitOnTheirPages_data();
    void fieldsSitOnTheirPages();
    void tabMovesThroughAPageInBoxOrder();
    void captions();
    void nothingIsSqueezed();

private:
    std::unique_ptr<StudentArchiveForm> form;
    QTabWidget* pages = nullptr;
};

void TestArchiveLayout::init() {
    form = std::make_unique<StudentArchiveForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    pages = form->findChild<QTabWidget*>("MultiPage1");
    QVERIFY(pages);
}

void TestArchiveLayout::fieldsSitOnTheirPages_data() {
    QTest::addColumn<int>("number");
    for (int n = 1; n <= 47; ++n) QTest::addRow("TextBox%d (%s)", n, kFields[n - 1].column) << n;
}

void TestArchiveLayout::fieldsSitOnTheirPages() {
    QFETCH(int, number);
    const Field& f = kFields[number - 1];
    // 家访记录 and 在校表现 hold several lines, wrapped; every other box one.
    auto* box = form->findChild<QWidget*>(QStringLiteral("TextBox%1").arg(number));
    QVERIFY(box);
    if (number == 46 || number == 47) {
        auto* lines = qobject_cast<QPlainTextEdit*>(box);
        QVERIFY(lines);
        QCOMPARE(lines->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(lines->document()->isEmpty());
    } else {
        QVERIFY(qobject_cast<QLineEdit*>(box));
        QVERIFY(qobject_cast<QLineEdit*>(box)->text().isEmpty());
    }
    QCOMPARE(pageOf(pages, box), f.page);
    auto* group = qobject_cast<QGroupBox*>(box->parentWidget());
    QVERIFY(group);
    QCOMPARE(group->title(), QString::fromUtf8(f.group));
    QStringList labels;
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->buddy() == box)
            labels << label->text();
    QCOMPARE(labels, *f.label ? QStringList{QString::fromUtf8(f.label)} : QStringList{});
}

void TestArchiveLayout::tabMovesThroughAPageInBoxOrder() {
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        QStringList expected;
        for (int n = 1; n <= 47; ++n)
            if (kFields[n - 1].page == page)
                expected << QStringLiteral("TextBox%1").arg(n);
        auto* first = form->findChild<QWidget*>(expected.first());
        first->setFocus();
        QStringList visited{first->objectName()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
    }
}

void TestArchiveLayout::captions() {
    QCOMPARE(form->objectName(), QStringLiteral("UserForm1"));
    QCOMPARE(form->windowTitle(), QStringLiteral("学生档案"));
    QCOMPARE(pages->currentIndex(), 0);
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i) tabs << pages->tabText(i);
    QCOMPARE(tabs, QStringLiteral("概要 更多内容 家庭成员 简历 其他 班主任记录").split(' '));
    for (int page : {0, 1, 3}) {
        int hints = 0;
        for (QLabel* label : pages->widget(page)->findChildren<QLabel*>())
            hints += label->text() == kHint;
        QCOMPARE(hints, 1);
    }
    // Left to right: previous, next, save, look up, close.
    const QStringList captions = {"≤\u3000\u3000", "≥", "将输入情况存入EXCEL", "输入序号查学生情况",
                                  "关闭"};
    const QStringList tips = {"向前查", "向后查", "", "", ""};
    int left = -1;
    for (int i = 0; i < 5; ++i) {
        auto* b = form->findChild<QPushButton*>(QStringLiteral("CommandButton%1").arg(5 - i));
        QVERIFY(b);
        QCOMPARE(b->text(), captions[i]);
        QCOMPARE(b->toolTip(), tips[i]);
        QVERIFY(b->x() > left);
        left = b->x();
        QVERIFY(b->y() > pages->geometry().bottom());
    }
    // The name display stands level with the tab row, outside the pages.
    auto* mirror = form->findChild<QLineEdit*>("TextBox48");
    QCOMPARE(pageOf(pages, mirror), -1);
    QVERIFY(!mirror->isHidden());
    QTabBar* bar = pages->tabBar();
    const QRect lastTab =
        bar->tabRect(bar->count() - 1).translated(bar->mapTo(form.get(), QPoint()));
    QVERIFY(mirror->geometry().top() < lastTab.bottom());
    QVERIFY2(lastTab.right() < mirror->geometry().left(), "the tabs run under TextBox48");
}

void TestArchiveLayout::nothingIsSqueezed() {
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        QApplication::processEvents();
        for (QWidget* w : form->findChildren<QWidget*>()) {
            if (!w->isVisible() || w->minimumSizeHint().isEmpty() || w->inherits("QTabBar"))
                continue;
            QSize min = w->minimumSizeHint();
            if (auto* b = qobject_cast<QPushButton*>(w))  // the caption inside the frame
                min.setWidth(b->fontMetrics().horizontalAdvance(b->text()) +
                             b->style()->pixelMetric(QStyle::PM_ButtonMargin) +
                             2 * b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
            QVERIFY2(w->width() >= min.width() && w->height() >= min.height(),
                     qPrintable(w->objectName()));
            QCOMPARE(w->font().family(), QStringLiteral("宋体"));
            QCOMPARE(w->font().pointSizeF(), 9.0);
        }
    }
}

QTEST_MAIN(TestArchiveLayout)
#include "test_archivelayout.moc"
