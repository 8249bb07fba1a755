#include "common/guard.h"

#include "common/messages.h"
#include "workbook/hosterror.h"

#include <QAbstractButton>

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

void onClick(QAbstractButton* button, QWidget* window, std::function<void()> handler) {
    QObject::connect(button, &QAbstractButton::clicked, window,
                     [window, handler = std::move(handler)] { guarded(window, handler); });
}

}  // namespace velmora
