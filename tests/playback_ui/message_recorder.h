#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QEvent>
#include <QObject>

#include "app/window_message_event.h"

namespace orvo::test {

// Stands in for the main window: records the private messages it is sent.
// `accept` is what the window answers (false: the message was refused).
class MessageRecorder : public QObject {
public:
    struct Message {
        unsigned message;
        std::intptr_t wparam;
        std::intptr_t lparam;
        int slider_value;  // what the sender's slider read when it was sent
    };

    std::vector<Message> messages;
    bool accept = true;
    // Read at the moment a message arrives, like the window reads the slider.
    std::function<int()> read_value;

    int Count(unsigned message) const {
        int n = 0;
        for (const Message& m : messages) n += m.message == message ? 1 : 0;
        return n;
    }

protected:
    bool event(QEvent* event) override {
        if (event->type() >= QEvent::User && event->type() <= QEvent::MaxUser) {
            auto* m = static_cast<CWindowMessageEvent*>(event);
            messages.push_back({m->message(), static_cast<std::intptr_t>(m->wparam()), m->lparam(),
                                read_value ? read_value() : -1});
            return accept;
        }
        return QObject::event(event);
    }
};

}  // namespace orvo::test
