#pragma once

#include <com/sun/star/util/XCloseListener.hpp>
#include <cppuhelper/implbase1.hxx>

#include <atomic>

namespace velmora::office {

namespace css = com::sun::star;

// Notices that the document was closed in the office (the teacher closed its
// window): its cells then take calls without effect, so every later
// operation has to refuse. The office tells from its own thread.
class CloseWatch : public cppu::WeakImplHelper1<css::util::XCloseListener> {
public:
    void SAL_CALL queryClosing(const css::lang::EventObject&, sal_Bool) override {}
    void SAL_CALL notifyClosing(const css::lang::EventObject&) override { closed_ = true; }
    void SAL_CALL disposing(const css::lang::EventObject&) override { closed_ = true; }

    bool closed() const { return closed_; }

private:
    std::atomic<bool> closed_{false};
};

}  // namespace velmora::office
