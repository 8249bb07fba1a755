#pragma once

#include <QList>
#include <QSize>
#include <QString>

namespace velmora::test {

// An X server of the test's own (Xvfb), one X screen per size given, for the
// tests that need a real window system. The server ends with the object.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const QList<QSize>& screens);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N" while the server runs, else empty.
    QString name() const { return name_; }
    // Why there is no server (Xvfb missing or failing), else empty.
    QString error() const { return error_; }

private:
    long long pid_ = 0;
    QString name_;
    QString error_;
};

}  // namespace velmora::test
