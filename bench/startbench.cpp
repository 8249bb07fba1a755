// Start-up as the teacher sees it, measured from outside on a real X server
// (run it under xvfb-run): the program is exec'd as a process of its own,
// its windows are found by their titles as the X server maps them, and
// 确定 is clicked with the X server's own mouse (XTest).
//   velmora_startbench --program=VELMORA --workbook=CLASS.xls --ui=welcomewindow.ui
//                      [--host=embedded|libreoffice] [--runs=N]
// Each run starts from a fresh data folder holding a copy of CLASS.xls as
// the class workbook, and measures
//   exec -> the welcome window (欢迎使用) mapped;
//   确定 let go -> the launcher and the sheet window mapped (embedded host),
//                 or LibreOffice Calc's window titled with the workbook;
// then ends the program with SIGTERM, as a desktop session does. Prints
// min / median / max of the runs in milliseconds.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "velmora_startbench: %s\n", why.c_str());
    std::exit(1);
}

struct Options {
    QString program, workbook, ui, host = QStringLiteral("embedded");
    int runs = 5;
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        const QString value = a.section(u'=', 1);
        if (a.startsWith(QLatin1String("--program=")))
            o.program = value;
        else if (a.startsWith(QLatin1String("--workbook=")))
            o.workbook = value;
        else if (a.startsWith(QLatin1String("--ui=")))
            o.ui = value;
        else if (a.startsWith(QLatin1String("--host=")))
            o.host = value;
        else if (a.startsWith(QLatin1String("--runs=")))
            o.runs = std::max(1, value.toInt());
        else
            fail("unknown argument " + a.toStdString());
    }
    if (o.program.isEmpty() || o.workbook.isEmpty() || o.ui.isEmpty())
        fail("--program, --workbook and --ui are needed");
    return o;
}

// The centre of a widget placed by geometry in a Designer form.
std::pair<int, int> widgetCentre(const QString& uiFile, const QString& name) {
    QFile f(uiFile);
    if (!f.open(QIODevice::ReadOnly))
        fail("cannot read " + uiFile.toStdString());
    QXmlStreamReader xml(&f);
    bool inWidget = false;
    int x = 0, y = 0, w = 0, h = 0, found = 0;
    while (!xml.atEnd() && found < 4) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("widget"))
            inWidget = xml.attributes().value(QLatin1String("name")) == name;
        else if (inWidget && xml.name() == QLatin1String("x"))
            x = xml.readElementText().toInt(), ++found;
        else if (inWidget && xml.name() == QLatin1String("y"))
            y = xml.readElementText().toInt(), ++found;
        else if (inWidget && xml.name() == QLatin1String("width"))
            w = xml.readElementText().toInt(), ++found;
        else if (inWidget && xml.name() == QLatin1String("height"))
            h = xml.readElementText().toInt(), ++found;
    }
    if (found < 4)
        fail("no geometry for " + name.toStdString() + " in " + uiFile.toStdString());
    return {x + w / 2, y + h / 2};
}

// Windows come and go while they are looked at: an error about a window
// that has just gone is no failure of the measurement.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

class XServer {
public:
    XServer() : d_(XOpenDisplay(nullptr)) {
        if (!d_)
            fail("no X display (run under xvfb-run)");
        XSetErrorHandler(ignoreXError);
        int event, error, major, minor;
        if (!XTestQueryExtension(d_, &event, &error, &major, &minor))
            fail("the X server has no XTest");
        utf8_ = XInternAtom(d_, "UTF8_STRING", False);
        netName_ = XInternAtom(d_, "_NET_WM_NAME", False);
    }
    ~XServer() { XCloseDisplay(d_); }

    // A mapped top-level window whose title passes the test, or 0.
    Window find(const std::function<bool(const QString&)>& test) {
        Window root = DefaultRootWindow(d_), parent, *children = nullptr;
        unsigned n = 0;
        Window hit = 0;
        if (!XQueryTree(d_, root, &root, &parent, &children, &n))
            return 0;
        for (unsigned i = n; i-- > 0 && !hit;) {
            XWindowAttributes a;
            if (XGetWindowAttributes(d_, children[i], &a) && a.map_state == IsViewable &&
                test(title(children[i])))
                hit = children[i];
        }
        if (children)
            XFree(children);
        return hit;
    }

    // Waits, polling every half millisecond, until find succeeds; 0 after
    // timeoutMs.
    Window await(const std::function<bool(const QString&)>& test, double timeoutMs) {
        const double end = nowMs() + timeoutMs;
        while (nowMs() < end) {
            if (const Window w = find(test))
                return w;
            usleep(500);
        }
        return 0;
    }

    // A left click at (x, y) inside the window; returns when the release
    // has gone to the server.
    void click(Window w, int x, int y) {
        int rx = 0, ry = 0;
        Window child;
        XTranslateCoordinates(d_, w, DefaultRootWindow(d_), x, y, &rx, &ry, &child);
        XTestFakeMotionEvent(d_, DefaultScreen(d_), rx, ry, CurrentTime);
        XTestFakeButtonEvent(d_, 1, True, CurrentTime);
        XSync(d_, False);
        usleep(20000);  // a person's click holds the button a moment
        XTestFakeButtonEvent(d_, 1, False, CurrentTime);
        XSync(d_, False);
    }

private:
    QString title(Window w) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        QString t;
        if (XGetWindowProperty(d_, w, netName_, 0, 1024, False, utf8_, &type, &format, &items,
                               &after, &data) == Success &&
            data) {
            t = QString::fromUtf8(reinterpret_cast<char*>(data), int(items));
            XFree(data);
        }
        char* name = nullptr;  // WM_NAME, for programs that set no _NET_WM_NAME
        if (t.isEmpty() && XFetchName(d_, w, &name) && name) {
            t = QString::fromLocal8Bit(name);
            XFree(name);
        }
        return t;
    }

    Display* d_;
    Atom utf8_ = 0, netName_ = 0;
};

struct Times {
    std::vector<double> welcome, opened;
};

void runOnce(const Options& o, XServer& screen, std::pair<int, int> button, Times& times) {
    QTemporaryDir data;
    // The class workbook where the program looks for it (--help names it).
    const QString folder = data.filePath(QStringLiteral("velmora/system32/vm21"));
    QDir().mkpath(folder);
    if (!QFile::copy(o.workbook, folder + QStringLiteral("/Velmoravm2.1.xls")))
        fail("cannot copy the workbook");
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    const std::string program = o.program.toStdString();
    const std::string host = "--host=" + o.host.toStdString();

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        execl(program.c_str(), program.c_str(), host.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const Window welcome =
        screen.await([](const QString& t) { return t == QStringLiteral("欢迎使用"); }, 20000);
    const double shown = nowMs();
    if (welcome)
        screen.click(welcome, button.first, button.second);
    const double clicked = nowMs();
    const bool embedded = o.host == QLatin1String("embedded");
    bool launcher = !embedded, sheet = false;
    const double end = welcome ? clicked + 60000 : 0;
    while (!(launcher && sheet) && nowMs() < end) {
        launcher = launcher ||
                   screen.find([](const QString& t) { return t == QLatin1String("Velmoravm2.1"); });
        sheet = sheet || screen.find([embedded](const QString& t) {
            return embedded ? t == QStringLiteral("Velmoravm2.1.xls")
                            : t.startsWith(QStringLiteral("Velmoravm2.1.xls")) &&
                                  t.contains(QStringLiteral("LibreOffice"));
        });
        usleep(500);
    }
    const double opened = nowMs();
    std::string titles;  // what there is to see, when the windows did not come
    if (!(launcher && sheet))
        screen.find(
            [&](const QString& t) { return titles += " \"" + t.toStdString() + "\"", false; });
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 200 && waitpid(pid, &status, WNOHANG) == 0; ++i) usleep(50000);
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(-pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    if (!welcome)
        fail("no welcome window");
    if (!(launcher && sheet))
        fail("the windows after 确定 did not appear; windows shown:" + titles);
    times.welcome.push_back(shown - start);
    times.opened.push_back(opened - clicked);
}

void report(const char* what, std::vector<double> v, double aimMs) {
    std::sort(v.begin(), v.end());
    std::printf("%8.1f %8.1f %8.1f   %s (aim: under %.0f ms)\n", v.front(), v[v.size() / 2],
                v.back(), what, aimMs);
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = parse(argc, argv);
    XServer screen;
    const auto button = widgetCentre(o.ui, QStringLiteral("Button1"));
    Times times;
    for (int i = 0; i < o.runs; ++i) runOnce(o, screen, button, times);
    std::printf("%8s %8s %8s   ms, %d runs, host: %s\n", "min", "median", "max", o.runs,
                qPrintable(o.host));
    report("exec -> welcome window shown", times.welcome, 300);
    if (o.host == QLatin1String("embedded"))
        report("确定 -> launcher and sheet window shown", times.opened, 300);
    else
        report("确定 -> Calc showing the workbook", times.opened, 3000);
    return 0;
}
