// kill -9 of the program itself with the LibreOffice host, three times in a
// row, on an X server of the test's own. The office outlives the killed
// program on purpose: its window holds the workbook and whatever the teacher
// typed there, still to be saved. The next start ends it when it holds
// nothing unsaved, so no office of a killed run is left once the program runs
// again. The program is driven as a teacher starts it: 确定 in the welcome
// window, clicked through the X server with xdotool.
#include "officeprocesses.h"
#include "shell/welcomewindow.h"
#include "virtualdisplay.h"
#include "workbook/libreoffice/libreofficehost.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <csignal>
#include <memory>

using namespace velmora;
using namespace velmora::test;

namespace {

// Runs xdotool on the test's display; its output goes to `out`.
bool xdotool(const QString& display, const QStringList& args, QString* out = nullptr,
             int ms = 60000) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    if (out)
        *out = QString::fromLocal8Bit(p.readAllStandardOutput()).section(u'\n', 0, 0);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The office processes started by the run with this process id: their
// pipe names begin with it.
QStringList officeOf(qint64 pid) {
    return officeProcesses().filter(QRegularExpression(QStringLiteral("velmora-%1-").arg(pid)));
}

}  // namespace

class TestKilledProgram : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void killedRunsLeaveNoOffice();

private:
    // Starts the program and presses 确定; null unless the launcher came up,
    // which it does once the office holds the workbook.
    std::unique_ptr<QProcess> startProgram();

    std::unique_ptr<VirtualDisplay> display_;
    QPoint confirm_;
};

void TestKilledProgram::initTestCase() {
    const QString why = LibreOfficeHost::unavailableReason(LibreOfficeHost::Mode::Headless);
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    display_ = std::make_unique<VirtualDisplay>(QList<QSize>{QSize(1280, 1024)});
    QVERIFY2(display_->error().isEmpty(), qPrintable(display_->error()));
    const WelcomeWindow welcome({}, QString());
    confirm_ = welcome.findChild<QWidget*>(QStringLiteral("Button1"))->geometry().center();
}

void TestKilledProgram::cleanupTestCase() {
    killOfficeProcesses();
}

std::unique_ptr<QProcess> TestKilledProgram::startProgram() {
    auto run = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_->name());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    run->setProcessEnvironment(env);
    run->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run->start(QCoreApplication::applicationDirPath() + QStringLiteral("/velmora"),
               {QStringLiteral("--host=libreoffice")});
    const QString display = display_->name();
    QString welcome;
    const bool up =
        xdotool(display, {"search", "--sync", "--onlyvisible", "--name", "欢迎使用"}, &welcome) &&
        xdotool(display, {"mousemove", "--window", welcome, QString::number(confirm_.x()),
                          QString::number(confirm_.y()), "click", "1"}) &&
        xdotool(display, {"search", "--sync", "--onlyvisible", "--name", "^Velmoravm2\\.1$"},
                nullptr, 120000);
    if (!up)
        return nullptr;
    return run;
}

void TestKilledProgram::killedRunsLeaveNoOffice() {
    std::unique_ptr<QProcess> run = startProgram();
    QVERIFY(run);
    QVERIFY(!officeOf(run->processId()).isEmpty());
    for (int attempt = 0; attempt < 3; ++attempt) {
        const qint64 killed = run->processId();
        ::kill(pid_t(killed), SIGKILL);
        QVERIFY(run->waitForFinished(10000));
        QVERIFY2(!officeOf(killed).isEmpty(), "the office still holds the workbook");

        run = startProgram();
        QVERIFY(run);
        QCOMPARE(officeOf(killed), QStringList());
        QVERIFY(!officeOf(run->processId()).isEmpty());
        QCOMPARE(officeOf(run->processId()), officeProcesses());
    }
    ::kill(pid_t(run->processId()), SIGKILL);
    run->waitForFinished(10000);
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program's own name, so that its office profile is the one looked at.
    QApplication::setApplicationName(QStringLiteral("velmora"));
    TestKilledProgram test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_killedprogram.moc"
