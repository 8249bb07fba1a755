// The pieces every window shares: single instances, messages, the handler
// guard and the launcher button.
#include "common/guard.h"
#include "common/messages.h"
#include "common/singlewindow.h"
#include "common/xpbutton.h"
#include "workbook/hosterror.h"

#include <QAccessible>
#include <QLineEdit>
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

QTEST_MAIN(TestCommon)
#include "test_common.moc"
