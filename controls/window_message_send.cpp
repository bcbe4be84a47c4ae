#include "controls/window_message_send.h"

#include <QCoreApplication>
#include <QObject>

#include "app/window_message_event.h"

namespace orvo {

bool SendWindowMessage(QObject* receiver, unsigned message, std::intptr_t wparam,
                       std::intptr_t lparam) {
    if (receiver == nullptr) return false;
    // Negative wParams (-1: no row) travel as their two's complement.
    CWindowMessageEvent event(message, static_cast<std::uintptr_t>(wparam), lparam);
    const bool handled = QCoreApplication::sendEvent(receiver, &event);
    return handled && event.isAccepted();
}

void PostWindowMessage(QObject* receiver, unsigned message, std::intptr_t wparam,
                       std::intptr_t lparam) {
    if (receiver == nullptr) return;
    QCoreApplication::postEvent(
        receiver, new CWindowMessageEvent(message, static_cast<std::uintptr_t>(wparam), lparam));
}

}  // namespace orvo
