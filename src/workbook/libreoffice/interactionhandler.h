#pragma once

#include <com/sun/star/task/XInteractionHandler.hpp>
#include <cppuhelper/implbase1.hxx>

#include <QString>
#include <mutex>

namespace velmora::office {

namespace css = com::sun::star;

// Answers the office's questions while it loads or stores the workbook, in
// place of a dialog: every question is answered "abort", so the operation
// fails and the program reports it. A lock held by someone else is
// remembered with the holder's name, for the message.
//
// The office asks from its own thread, through the connection.
class AbortingInteractionHandler : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
public:
    void SAL_CALL
    handle(const css::uno::Reference<css::task::XInteractionRequest>& request) override;

    // What the first aborted question was about: the lock's holder (for a
    // locked document), else a short description. Cleared by take().
    struct Refusal {
        enum class About { Nothing, Lock, ChangedByOthers, Other };
        About about = About::Nothing;
        QString holder;  // Lock
        QString description;
    };
    Refusal take();

private:
    std::mutex mutex_;
    Refusal last_;
};

}  // namespace velmora::office
