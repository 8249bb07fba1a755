#include "common/guard.h"

#include "common/messages.h"
#include "workbook/hosterror.h"

namespace velmora {

bool guarded(QWidget* parent, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const HostError& e) {
        showMessage(parent, e.message(), kFormTitle);
    }
    return false;
}

}  // namespace velmora
