#pragma once

#include <cstdint>

#include <QEvent>

class QObject;

namespace orvo {

// A private window message as a Qt event: type() is the message value
// (app/window_messages.h), the two parameters travel with it.
class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(unsigned message, std::intptr_t wparam, std::intptr_t lparam)
        : QEvent(static_cast<QEvent::Type>(message)), wparam_(wparam), lparam_(lparam) {}

    unsigned message() const { return static_cast<unsigned>(type()); }
    std::intptr_t wparam() const { return wparam_; }
    std::intptr_t lparam() const { return lparam_; }

private:
    std::intptr_t wparam_;
    std::intptr_t lparam_;
};

// "Send": delivered before returning, on the caller's (window) thread.
// Returns whether the receiver accepted it; false without a receiver.
bool SendWindowMessage(QObject* receiver, unsigned message, std::intptr_t wparam = 0,
                       std::intptr_t lparam = 0);
// "Post": queued to the receiver's thread; safe from any thread.
void PostWindowMessage(QObject* receiver, unsigned message, std::intptr_t wparam = 0,
                       std::intptr_t lparam = 0);

}  // namespace orvo
