// The pieces every window shares: single instances, messages, the handler
// guard, the launcher button, the questions about unsaved text and the
// question a window asks before it closes.
#include "common/closingquestion.h"
#include "common/guard.h"
#include "common/messages.h"
#include "common/savequestion.h"
#include "common/singlewindow.h"
#include "common/xpbutton.h"
#include "workbook/hosterror.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

using namespace velmora;

namespace {
class Probe : public QWidget {
    Q_OBJECT
public:
    Probe() { edit = new QLineEdit(this); }
    QLineEdit* edit;
};
}  // namespace

class TestCommon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void singleWindowIsReusedUntilClosed();
    void recorderTakesMessagesInOrder();
    void guardTurnsHostFailuresIntoMessages();
    void buttonActsOnPressesSpaceAndEnter();
    void saveQuestionAnswers_data();
    void saveQuestionAnswers();
    void closingQuestion_data();
    void closingQuestion();
};

void TestCommon::singleWindowIsReusedUntilClosed() {
    Probe* first = showSingle<Probe>();
    first->edit->setText(QStringLiteral("typed"));
    QCOMPARE(showSingle<Probe>(), first);
    QCOMPARE(existingWindow<Probe>(), first);
    QCOMPARE(first->edit->text(), QStringLiteral("typed"));

    QPointer<Probe> closed = first;
    first->close();
    QTRY_VERIFY(closed.isNull());  // deleted on close
    QCOMPARE(existingWindow<Probe>(), nullptr);
    Probe* second = showSingle<Probe>();
    QVERIFY(second->edit->text().isEmpty());  // a fresh window, design-time texts
    second->close();
}

void TestCommon::recorderTakesMessagesInOrder() {
    MessageRecorder recorder;
    QStringList seenDuring;
    recorder.onMessage([&](const MessageRecorder::Message& m) { seenDuring << m.text; });
    showMessage(nullptr, QStringLiteral("一"));
    showMessage(nullptr, QStringLiteral("二"), kNoticeTitle);
    QCOMPARE(recorder.texts(), (QStringList{QStringLiteral("一"), QStringLiteral("二")}));
    QCOMPARE(recorder.messages().at(0).title, QStringLiteral("Velmoravm2.1"));
    QCOMPARE(recorder.messages().at(1).title, QStringLiteral("《Velmora》vm2.1"));
    QCOMPARE(seenDuring, recorder.texts());
}

void TestCommon::guardTurnsHostFailuresIntoMessages() {
    MessageRecorder recorder;
    bool ranAfter = false;
    QVERIFY(guarded(nullptr, [] {}));
    QVERIFY(!guarded(nullptr, [&] {
        throw HostError(QStringLiteral("工作簿中没有工作表“X”。"));
        ranAfter = true;
    }));
    QVERIFY(!ranAfter);
    QCOMPARE(recorder.texts(), QStringList{QStringLiteral("工作簿中没有工作表“X”。")});
}

void TestCommon::buttonActsOnPressesSpaceAndEnter() {
    XPButton button;
    button.setText(QStringLiteral("确    定"));
    button.resize(97, 33);
    button.show();
    QSignalSpy pressed(&button, &XPButton::buttonPressed);
    QSignalSpy clicked(&button, &XPButton::clicked);
    QTest::mousePress(&button, Qt::RightButton, Qt::ShiftModifier, QPoint(5, 7));
    QCOMPARE(clicked.count(), 1);  // on the press, whichever mouse button
    QTest::mouseRelease(&button, Qt::RightButton, Qt::ShiftModifier, QPoint(5, 7));
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(40, 10));
    QCOMPARE(clicked.count(), 2);  // once per press, never for a release
    QCOMPARE(pressed.count(), 2);
    QCOMPARE(pressed.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    QCOMPARE(pressed.at(0).at(1).value<Qt::KeyboardModifiers>(),
             Qt::KeyboardModifiers(Qt::ShiftModifier));
    QCOMPARE(pressed.at(0).at(2).toPoint(), QPoint(5, 7));
    QCOMPARE(pressed.at(1).at(0).value<Qt::MouseButton>(), Qt::LeftButton);

    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(&button, key);
    QCOMPARE(clicked.count(), 5);
    QCOMPARE(pressed.count(), 2);  // keys press no mouse button

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&button);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("确    定"));
}

// Esc and the box's close button go back to work, as 取消 does.
void TestCommon::saveQuestionAnswers_data() {
    QTest::addColumn<QString>("how");  // a button's caption, or a key
    QTest::addColumn<SaveAnswer>("answer");
    QTest::newRow("保存") << "保存" << SaveAnswer::Save;
    QTest::newRow("不保存") << "不保存" << SaveAnswer::Discard;
    QTest::newRow("取消") << "取消" << SaveAnswer::Cancel;
    QTest::newRow("Esc") << "Esc" << SaveAnswer::Cancel;
    QTest::newRow("close button") << "close" << SaveAnswer::Cancel;
    QTest::newRow("Return: the default") << "Return" << SaveAnswer::Save;
}

void TestCommon::saveQuestionAnswers() {
    QFETCH(QString, how);
    QFETCH(SaveAnswer, answer);
    const std::unique_ptr<QMessageBox> box(saveQuestionBox(nullptr, "要保存吗？", "保存", "不保存"));
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QCOMPARE(box->buttons().size(), 3);
    if (how == "Esc" || how == "Return")
        QTest::keyClick(box.get(), how == "Esc" ? Qt::Key_Escape : Qt::Key_Return);
    else if (how == "close")
        box->close();
    for (QAbstractButton* b : box->buttons())
        if (b->text() == how)
            b->click();
    QCOMPARE(answerOf(*box), answer);
}

void TestCommon::closingQuestion_data() {
    QTest::addColumn<bool>("edited");
    QTest::addColumn<SaveAnswer>("answer");
    QTest::addColumn<bool>("storeWorks");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("stores");
    QTest::addColumn<bool>("closed");
    QTest::newRow("nothing typed") << false << SaveAnswer::Cancel << true << false << 0 << true;
    QTest::newRow("存入") << true << SaveAnswer::Save << true << true << 1 << true;
    QTest::newRow("存入, store refuses") << true << SaveAnswer::Save << false << true << 1 << false;
    QTest::newRow("不存入") << true << SaveAnswer::Discard << true << true << 0 << true;
    QTest::newRow("取消") << true << SaveAnswer::Cancel << true << true << 0 << false;
}

// The window's close and the program's 退出 (closeEditedWindows) ask alike.
void TestCommon::closingQuestion() {
    QFETCH(bool, edited);
    QFETCH(SaveAnswer, answer);
    QFETCH(bool, storeWorks);
    QFETCH(bool, asked);
    QFETCH(int, stores);
    QFETCH(bool, closed);
    for (bool byExit : {false, true}) {
        QuestionAnswerer answers(answer);
        Probe window;
        window.setWindowTitle(QStringLiteral("计划与总结"));
        int storeCalls = 0;
        new ClosingQuestion(
            window, [&] { return edited; },
            [&] {
                ++storeCalls;
                return storeWorks;
            });
        window.show();
        const bool ended = byExit ? ClosingQuestion::closeEditedWindows() : window.close();
        QCOMPARE(ended, closed);
        // 退出 leaves a window with nothing typed to end with the program.
        QCOMPARE(window.isVisible(), byExit && !edited ? true : !closed);
        QCOMPARE(storeCalls, stores);
        QCOMPARE(answers.asked().size(), asked ? 1 : 0);
        if (asked)
            QVERIFY(answers.asked().first().contains(QStringLiteral("“计划与总结”")));
    }
}

QTEST_MAIN(TestCommon)
#include "test_common.moc"
