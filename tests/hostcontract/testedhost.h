#pragma once

#include "workbook/hosterror.h"
#include "workbook/spreadsheethost.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace velmora::test {

// The host under test, as the contract suite sees it: the host itself plus
// what each host offers beyond the contract in its own way.
class TestedHost {
public:
    virtual ~TestedHost() = default;
    virtual SpreadsheetHost& host() = 0;
    // quit()'s question about unsaved changes.
    virtual void setSaveQuestion(std::function<SaveAnswer()> answer) = 0;
    virtual bool hasUnsavedChanges() = 0;
};

// One kind of host: built by the factory linked into the test program.
struct HostKind {
    QString name;
    // Why this host cannot run here (not built, not installed); empty when
    // it can.
    std::function<QString()> unavailable;
    std::function<std::unique_ptr<TestedHost>()> create;
    // Processes the host left running that it should have ended: none,
    // after any test.
    std::function<QStringList()> leftovers;
};

HostKind hostUnderTest();

// The message of the HostError a request throws, or "(no error)".
inline QString messageOf(const std::function<void()>& request) {
    try {
        request();
    } catch (const HostError& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

// Adapts a host class with setSaveQuestion and hasUnsavedChanges.
template <class Host>
class Tested : public TestedHost {
public:
    template <class... Args>
    explicit Tested(Args&&... args) : host_(std::forward<Args>(args)...) {}
    SpreadsheetHost& host() override { return host_; }
    void setSaveQuestion(std::function<SaveAnswer()> answer) override {
        host_.setSaveQuestion(std::move(answer));
    }
    bool hasUnsavedChanges() override { return host_.hasUnsavedChanges(); }
    Host& concrete() { return host_; }

private:
    Host host_;
};

}  // namespace velmora::test
