// The pieces every window shares: single instances, messages, the handler
// guard and the launcher button's press report.
#include "common/guard.h"
#include "common/messages.h"
#include "common/singlewindow.h"
#include "common/xpbutton.h"
#include "workbook/hosterror.h"

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
    void buttonReportsButtonModifiersAndPosition();
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

void TestCommon::buttonReportsButtonModifiersAndPosition() {
    XPButton button;
    button.setCaption(QStringLiteral("确    定"));
    button.resize(97, 33);
    button.show();
    QSignalSpy spy(&button, &XPButton::buttonPressed);
    QTest::mousePress(&button, Qt::RightButton, Qt::ShiftModifier, QPoint(5, 7));
    QTest::mouseRelease(&button, Qt::RightButton, Qt::ShiftModifier, QPoint(5, 7));
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(40, 10));
    QCOMPARE(spy.count(), 2);  // one report per press, none for a release
    QCOMPARE(spy.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    QCOMPARE(spy.at(0).at(1).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::ShiftModifier));
    QCOMPARE(spy.at(0).at(2).toPoint(), QPoint(5, 7));
    QCOMPARE(spy.at(1).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
}

QTEST_MAIN(TestCommon)
#include "test_common.moc"
