#pragma once

#include <cstdint>

class QObject;

namespace orvo {

// "Send" a private window message (app/window_messages.h) to the main
// window: delivered before returning, on the caller's thread. True when the
// receiver handled and accepted it; false without a receiver or when it
// refused the message.
bool SendWindowMessage(QObject* receiver, unsigned message, std::intptr_t wparam = 0,
                       std::intptr_t lparam = 0);
// "Post": queued to the receiver's thread; safe from any thread.
void PostWindowMessage(QObject* receiver, unsigned message, std::intptr_t wparam = 0,
                       std::intptr_t lparam = 0);

}  // namespace orvo
