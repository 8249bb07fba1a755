#include "workbook/libreoffice/interactionhandler.h"

#include "workbook/libreoffice/unostring.h"

#include <com/sun/star/document/ChangedByOthersRequest.hpp>
#include <com/sun/star/document/LockedDocumentRequest.hpp>
#include <com/sun/star/document/OwnLockOnDocumentRequest.hpp>
#include <com/sun/star/task/ErrorCodeRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>

namespace velmora::office {

using css::uno::Reference;
using css::uno::UNO_QUERY;

void AbortingInteractionHandler::handle(const Reference<css::task::XInteractionRequest>& request) {
    if (!request.is())
        return;
    const css::uno::Any what = request->getRequest();
    Refusal refusal;
    css::document::LockedDocumentRequest locked;
    css::document::OwnLockOnDocumentRequest ownLock;
    css::document::ChangedByOthersRequest changed;
    css::task::ErrorCodeRequest code;
    if (what >>= locked) {
        refusal = {Refusal::About::Lock, toQString(locked.UserInfo), QString()};
    } else if (what >>= ownLock) {
        // The same user on this computer, in another LibreOffice (a lock
        // left by this program's own office is taken over by the office).
        refusal = {
            Refusal::About::Lock,
            QStringLiteral("本机的另一个 LibreOffice（%1）").arg(toQString(ownLock.TimeInfo)),
            QString()};
    } else if (what >>= changed) {
        refusal.about = Refusal::About::ChangedByOthers;
    } else if (what >>= code) {
        refusal = {Refusal::About::Other, QString(),
                   QStringLiteral("错误代码 0x%1").arg(uint(code.ErrCode), 0, 16)};
    } else {
        refusal = {Refusal::About::Other, QString(), toQString(what.getValueTypeName())};
    }
    {
        // The first question is the cause; what follows (an I/O error
        // "aborted") is its consequence.
        const std::lock_guard<std::mutex> lock(mutex_);
        if (last_.about == Refusal::About::Nothing)
            last_ = refusal;
    }
    const css::uno::Sequence<Reference<css::task::XInteractionContinuation>> choices =
        request->getContinuations();
    for (sal_Int32 i = 0; i < choices.getLength(); ++i) {
        const Reference<css::task::XInteractionAbort> abort(choices[i], UNO_QUERY);
        if (abort.is()) {
            abort->select();
            return;
        }
    }
}

AbortingInteractionHandler::Refusal AbortingInteractionHandler::take() {
    const std::lock_guard<std::mutex> lock(mutex_);
    Refusal r = last_;
    last_ = Refusal();
    return r;
}

}  // namespace velmora::office
