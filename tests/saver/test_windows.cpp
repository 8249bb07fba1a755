// The screen saver window and its unlock dialog, driven as a person would,
// with messages recorded instead of shown.
#include "test_windows.h"

#include "common/messages.h"
#include "common/singlewindow.h"
#include "saver/screensaver.h"
#include "saver/unlockdialog.h"
#include "sequence.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace velmora;
using namespace velmora::saver;

namespace {

// A shown screen saver whose animation runs only when the test ticks it.
ScreenSaver* makeSaver(const Sequence& seq = Sequence()) {
    auto* saver = new ScreenSaver(seq.source());
    saver->setAttribute(Qt::WA_DeleteOnClose);
    saver->findChild<QTimer*>()->stop();
    saver->show();
    return saver;
}

UnlockDialog* openDialog(ScreenSaver* saver) {
    QTest::mouseClick(saver, Qt::RightButton, {}, QPoint(600, 300));
    return saver->unlockDialog();
}

QLineEdit* box(UnlockDialog* dialog, const char* name) {
    return dialog->findChild<QLineEdit*>(QLatin1String(name));
}

int saverCount() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) n += qobject_cast<ScreenSaver*>(w) ? 1 : 0;
    return n;
}

}  // namespace

void TestWindows::cleanup() {
    QList<QPointer<ScreenSaver>> savers;  // deleting one deletes its dialog, a window too
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* saver = qobject_cast<ScreenSaver*>(w))
            savers << saver;
    for (const QPointer<ScreenSaver>& saver : savers) delete saver.data();
}

void TestWindows::startShowsNoticeFirstAndOnce() {
    MessageRecorder recorder;
    bool saverDuringNotice = true;
    recorder.onMessage([&](const MessageRecorder::Message&) {
        saverDuringNotice = existingWindow<ScreenSaver>() != nullptr;
    });
    QPointer<ScreenSaver> saver = startScreenSaver();
    QCOMPARE(recorder.messages().size(), 1);
    QCOMPARE(recorder.messages().at(0).title, QStringLiteral("《Velmora》vm2.1"));
    QCOMPARE(recorder.messages().at(0).text,
             QStringLiteral("注意！\n\n鼠标右击可解除屏幕保护！\n\n解除密码为：vm2.1"));
    QVERIFY(!saverDuringNotice);
    QVERIFY(saver->isVisible());
    QVERIFY(saver->isFullScreen());
    QVERIFY(saver->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(saver->objectName(), QStringLiteral("Form51"));

    QCOMPARE(startScreenSaver(), saver.data());
    QCOMPARE(recorder.messages().size(), 1);
    QCOMPARE(saverCount(), 1);

    // A close request that does not come through the unlock dialog leaves it.
    QVERIFY(!saver->close());
    QVERIFY(saver->isVisible());
    UnlockDialog* dialog = openDialog(saver);
    QTest::keyClicks(box(dialog, "txtPassword"), QStringLiteral("vm2.1"));
    QTest::keyClick(box(dialog, "txtPassword"), Qt::Key_Return);
    QTRY_VERIFY(saver.isNull());
    QPointer<ScreenSaver> again = startScreenSaver();
    QCOMPARE(recorder.messages().size(), 2);
    QVERIFY(again);
    QCOMPARE(saverCount(), 1);
}

void TestWindows::openers_data() {
    QTest::addColumn<bool>("onLabel");
    QTest::addColumn<int>("button");  // 0: a key instead
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("opens");
    QTest::newRow("right click") << false << int(Qt::RightButton) << 0 << true;
    QTest::newRow("left click") << false << int(Qt::LeftButton) << 0 << false;
    QTest::newRow("middle click") << false << int(Qt::MiddleButton) << 0 << false;
    QTest::newRow("right click on label") << true << int(Qt::RightButton) << 0 << false;
    QTest::newRow("left click on label") << true << int(Qt::LeftButton) << 0 << false;
    QTest::newRow("key A") << false << 0 << int(Qt::Key_A) << true;
    QTest::newRow("Escape") << false << 0 << int(Qt::Key_Escape) << true;
    QTest::newRow("Shift alone") << false << 0 << int(Qt::Key_Shift) << true;
    QTest::newRow("Tab") << false << 0 << int(Qt::Key_Tab) << true;
    QTest::newRow("Return") << false << 0 << int(Qt::Key_Return) << true;
}

void TestWindows::openers() {
    QFETCH(bool, onLabel);
    QFETCH(int, button);
    QFETCH(int, key);
    QFETCH(bool, opens);
    ScreenSaver* saver = makeSaver();
    auto* label = saver->findChild<QLabel*>(QStringLiteral("Label1"));
    QVERIFY(label);
    if (button) {
        QWidget* target = onLabel ? static_cast<QWidget*>(label) : saver;
        QTest::mouseClick(target, Qt::MouseButton(button), {}, QPoint(20, 20));
    } else {
        QTest::keyClick(saver, Qt::Key(key));
    }
    QCOMPARE(saver->unlockDialog() != nullptr, opens);
    if (opens)
        QVERIFY(saver->unlockDialog()->isVisible());
}

void TestWindows::dialogIsOneAtATime() {
    ScreenSaver* saver = makeSaver();
    QPointer<UnlockDialog> first = openDialog(saver);
    QVERIFY(first);
    QLineEdit* password = box(first, "txtPassword");
    QTest::keyClicks(password, QStringLiteral("vm2.1"));
    QCOMPARE(password->displayText(), QStringLiteral("*****"));
    QVERIFY(!password->testAttribute(Qt::WA_InputMethodEnabled));
    QTest::keyClick(password, Qt::Key_Escape);  // no cancel button: Escape does nothing
    QTest::keyClick(saver, Qt::Key_B);
    QCOMPARE(saver->unlockDialog(), first.data());
    QCOMPARE(saver->findChildren<UnlockDialog*>().size(), 1);
    QVERIFY(first->isVisible());

    first->close();  // by its frame: the screen saver runs on
    QTRY_VERIFY(first.isNull());
    QVERIFY(saver->isVisible());
    UnlockDialog* second = openDialog(saver);
    QVERIFY(second);
    QCOMPARE(box(second, "txtUserName")->text(), QStringLiteral("vm2.1"));
    QVERIFY(box(second, "txtPassword")->text().isEmpty());
}

void TestWindows::check_data() {
    QTest::addColumn<QString>("press");  // "click", or the box Enter is pressed in
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("unlocks");
    const QString vm = QStringLiteral("vm2.1");
    QTest::newRow("capitals") << "click" << vm << "VM2.1" << false;
    QTest::newRow("leading blank") << "click" << vm << " vm2.1" << false;
    QTest::newRow("trailing blank") << "click" << vm << "vm2.1 " << false;
    QTest::newRow("empty") << "click" << vm << "" << false;
    QTest::newRow("longer") << "click" << vm << "vm2.10" << false;
    QTest::newRow("right") << "click" << vm << "vm2.1" << true;
    QTest::newRow("right, any user name") << "click"
                                          << "随便谁"
                                          << "vm2.1" << true;
    QTest::newRow("Enter in password, wrong") << "txtPassword" << vm << "x" << false;
    QTest::newRow("Enter in user name, wrong") << "txtUserName" << vm << "x" << false;
    QTest::newRow("Enter in password, right") << "txtPassword" << vm << "vm2.1" << true;
    QTest::newRow("Enter in user name, right") << "txtUserName" << vm << "vm2.1" << true;
}

void TestWindows::check() {
    QFETCH(QString, press);
    QFETCH(QString, user);
    QFETCH(QString, typed);
    QFETCH(bool, unlocks);
    MessageRecorder recorder;
    QPointer<ScreenSaver> saver = makeSaver();
    QPointer<UnlockDialog> dialog = openDialog(saver);
    QLineEdit* password = box(dialog, "txtPassword");
    box(dialog, "txtUserName")->setText(user);
    QTest::keyClicks(password, typed);
    password->setCursorPosition(1);  // nothing selected before the check
    box(dialog, "txtUserName")->setFocus();

    if (press == QLatin1String("click"))
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    else
        QTest::keyClick(box(dialog, press.toLatin1().constData()), Qt::Key_Return);

    if (unlocks) {
        QTRY_VERIFY(saver.isNull());
        QVERIFY(dialog.isNull());
        QVERIFY(recorder.messages().isEmpty());
        return;
    }
    QTRY_COMPARE(recorder.messages().size(), 1);
    QCOMPARE(recorder.messages().at(0).title, QStringLiteral("《Velmora》vm2.1---解除"));
    QCOMPARE(recorder.messages().at(0).text, QStringLiteral("无效的密码，请重试!"));
    QVERIFY(dialog->isVisible());
    QVERIFY(saver->isVisible());
    QVERIFY(!dialog->loginSucceeded());
    QCOMPARE(dialog->focusWidget(), password);
    QCOMPARE(password->selectedText(), typed);
}

void TestWindows::canvasKeepsWhatWasPainted() {
    Sequence seq;
    ScreenSaver* saver = makeSaver(seq);
    // Two petals, pointing left (tip 90 pixels out) and right, drifting right.
    const FlowerDraws draws{2, 300, 400, 4, 0, 180, 0, 100, 0.5, 0.9, 0.0, 10, 250, 10, 10};
    seq.append({0.0});
    seq.append(draws.draws(saver->size()));
    QCOMPARE(saver->size(), saver->screen()->size());
    const QColor red(250, 10, 10);
    QCOMPARE(saver->grab().toImage().pixelColor(210, 400), QColor(Qt::black));

    saver->tick();
    QCOMPARE(saver->grab().toImage().pixelColor(210, 400), red);
    for (int i = 0; i < 30; ++i) saver->tick();
    const QImage later = saver->grab().toImage();
    QCOMPARE(later.pixelColor(210, 400), red);                // left behind, never wiped
    QCOMPARE(later.pixelColor(300 + 4 * 30 - 90, 400), red);  // the newest left tip
    QCOMPARE(later.pixelColor(100, 550), QColor(Qt::black));  // never painted
}
