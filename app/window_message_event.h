#pragma once

#include <cstdint>

#include <QEvent>

namespace orvo {

// A private window message (app/window_messages.h) as a Qt event: the event
// type is the message value, wParam and lParam ride along. Posting it is
// thread-safe; sending it is synchronous.
class CWindowMessageEvent : public QEvent {
public:
    CWindowMessageEvent(unsigned message, std::uintptr_t wparam, std::intptr_t lparam = 0)
        : QEvent(static_cast<QEvent::Type>(message)), wparam_(wparam), lparam_(lparam) {}

    unsigned message() const { return static_cast<unsigned>(type()); }
    std::uintptr_t wparam() const { return wparam_; }
    std::intptr_t lparam() const { return lparam_; }

private:
    std::uintptr_t wparam_;
    std::intptr_t lparam_;
};

}  // namespace orvo
