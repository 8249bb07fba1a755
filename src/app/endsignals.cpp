#include "app/endsignals.h"

#include <QObject>
#include <QPointer>
#include <csignal>
#include <iterator>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QSocketNotifier>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace velmora {

namespace {

std::function<void(int)>& endedCall() {
    static std::function<void(int)> call;
    return call;
}

#ifdef Q_OS_WIN

QPointer<QObject>& receiver() {
    static QPointer<QObject> r;
    return r;
}

// The system calls this on a thread of its own. The end runs on the event
// loop; this thread waits for it, since returning from a console's closing
// lets the system end the process at once.
BOOL WINAPI onConsoleEvent(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && type != CTRL_CLOSE_EVENT)
        return FALSE;
    static LONG seen = 0;
    if (InterlockedExchange(&seen, 1) == 0) {
        const int number = type == CTRL_C_EVENT ? SIGINT : type == CTRL_BREAK_EVENT ? SIGBREAK : SIGTERM;
        QMetaObject::invokeMethod(
            receiver(), [number] { endedCall()(number); }, Qt::QueuedConnection);
    }
    Sleep(INFINITE);
    return TRUE;
}

#else

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
bool caught[std::size(kSignals)] = {};
int pipeEnds[2] = {-1, -1};

// All a signal handler may safely do: write(2) the number into the pipe.
extern "C" void onEndSignal(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

bool openPipe() {
    if (::pipe(pipeEnds) != 0)
        return false;
    for (const int end : pipeEnds) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

#endif

}  // namespace

void watchEndSignals(QObject* context, std::function<void(int)> ended) {
    endedCall() = std::move(ended);
#ifdef Q_OS_WIN
    receiver() = context;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    if (!openPipe())
        return;
    auto* notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [notifier] {
        unsigned char number = 0;
        if (::read(pipeEnds[0], &number, 1) != 1)
            return;
        notifier->setEnabled(false);
        for (std::size_t i = 0; i < std::size(kSignals); ++i)
            if (caught[i])
                ::signal(kSignals[i], SIG_DFL);
        endedCall()(number);
    });
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        struct sigaction previous = {};
        ::sigaction(kSignals[i], nullptr, &previous);
        if (previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action = {};
        action.sa_handler = onEndSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        caught[i] = ::sigaction(kSignals[i], &action, nullptr) == 0;
    }
#endif
}

}  // namespace velmora
