#include "controls/window_message_event.h"

#include <QCoreApplication>
#include <QObject>

namespace orvo {

bool SendWindowMessage(QObject* receiver, unsigned message, std::intptr_t wparam,
                       std::intptr_t lparam) {
    if (receiver == nullptr) return false;
    WindowMessageEvent event(message, wparam, lparam);
    return QCoreApplication::sendEvent(receiver, &event);
}

void PostWindowMessage(QObject* receiver, unsigned message, std::intptr_t wparam,
                       std::intptr_t lparam) {
    if (receiver == nullptr) return;
    QCoreApplication::postEvent(receiver, new WindowMessageEvent(message, wparam, lparam));
}

}  // namespace orvo
