#pragma once
// Delivers the five messages to the dialog's thread through Qt's event loop:
// posted messages are queued, sent ones block the sender until handled.

#include "job/messages.h"

#include <QObject>

#include <functional>

class QtMessageTarget final : public QObject, public IMessageTarget {
    Q_OBJECT
public:
    using Handler = std::function<LParam(unsigned message, WParam wparam, LParam lparam)>;

    // Lives on the thread that creates it, which must run a Qt event loop.
    explicit QtMessageTarget(Handler handler, QObject* parent = nullptr);

    void Post(unsigned message, WParam wparam, LParam lparam) override;
    LParam Send(unsigned message, WParam wparam, LParam lparam) override;

    // For the dialog's thread while it waits for a worker: delivers what
    // arrives during the next `milliseconds` (a worker's pending send
    // included) without taking user input, so no new action starts in the
    // middle of the wait.
    static void DeliverPending(int milliseconds);

    // The program is ending without its event loop (Qt lost the display):
    // from now on every send returns 0 at once, a waiting one included, and
    // nothing is delivered, so that jobs can be stopped and waited for
    // without a window.
    static void EndDelivery();

private:
    Handler handler;
};
