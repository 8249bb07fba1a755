#include "virtualdisplay.h"

#include <QByteArray>
#include <csignal>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace velmora::test {

// Started without QProcess: the display must exist before the application
// object that connects to it.
VirtualDisplay::VirtualDisplay(const QList<QSize>& screens) {
    int ready[2];
    if (::pipe(ready) != 0) {
        error_ = QStringLiteral("no pipe for Xvfb");
        return;
    }
    // Xvfb picks a free display and writes its number to the pipe when it
    // accepts connections.
    std::vector<std::string> args{"Xvfb", "-displayfd", std::to_string(ready[1]), "-nolisten", "tcp"};
    for (int i = 0; i < screens.size(); ++i) {
        args.push_back("-screen");
        args.push_back(std::to_string(i));
        args.push_back(std::to_string(screens.at(i).width()) + "x" +
                       std::to_string(screens.at(i).height()) + "x24");
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // no server outlives a test that crashed
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(ready[1]);
    QByteArray number;
    char c;
    while (pid > 0 && ::read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(ready[0]);
    if (pid <= 0 || number.isEmpty()) {
        error_ = QStringLiteral("Xvfb did not start (is it installed?)");
        if (pid > 0)
            ::waitpid(pid, nullptr, 0);
        return;
    }
    pid_ = pid;
    name_ = QLatin1Char(':') + QString::fromLatin1(number);
}

VirtualDisplay::~VirtualDisplay() {
    if (pid_ <= 0)
        return;
    ::kill(pid_t(pid_), SIGTERM);
    ::waitpid(pid_t(pid_), nullptr, 0);
}

}  // namespace velmora::test
