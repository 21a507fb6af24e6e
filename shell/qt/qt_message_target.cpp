#include "shell/qt/qt_message_target.h"

#include <QEventLoop>
#include <QTimer>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// Every send waits here for its answer, so that EndDelivery can wake them all.
std::mutex sendMutex;
std::condition_variable sendAnswered;
bool delivering = true;

struct PendingSend {
    bool answered = false;
    LParam result = 0;

    void Answer(LParam value)
    {
        {
            const std::lock_guard lock(sendMutex);
            if (answered)
                return;
            answered = true;
            result = value;
        }
        sendAnswered.notify_all();
    }
};

// Travels with the queued call: a call dropped unrun (its receiver gone)
// still answers, so its sender never waits for ever.
class SendAnswerer {
public:
    explicit SendAnswerer(std::shared_ptr<PendingSend> pending) : pending(std::move(pending)) {}
    ~SendAnswerer() { pending->Answer(0); }
    SendAnswerer(const SendAnswerer&) = delete;
    SendAnswerer& operator=(const SendAnswerer&) = delete;

    std::shared_ptr<PendingSend> pending;
};

bool Delivering()
{
    const std::lock_guard lock(sendMutex);
    return delivering;
}

}  // namespace

QtMessageTarget::QtMessageTarget(Handler handler, QObject* parent)
    : QObject(parent), handler(std::move(handler))
{
}

void QtMessageTarget::Post(unsigned message, WParam wparam, LParam lparam)
{
    QMetaObject::invokeMethod(
        this,
        [this, message, wparam, lparam] {
            if (Delivering())
                handler(message, wparam, lparam);
        },
        Qt::QueuedConnection);
}

LParam QtMessageTarget::Send(unsigned message, WParam wparam, LParam lparam)
{
    if (!Delivering())
        return 0;
    if (QThread::currentThread() == thread())
        return handler(message, wparam, lparam);
    const auto pending = std::make_shared<PendingSend>();
    const auto answerer = std::make_shared<SendAnswerer>(pending);
    QMetaObject::invokeMethod(
        this,
        [this, answerer, message, wparam, lparam] {
            if (Delivering())
                answerer->pending->Answer(handler(message, wparam, lparam));
        },
        Qt::QueuedConnection);
    std::unique_lock lock(sendMutex);
    sendAnswered.wait(lock, [&] { return pending->answered || !delivering; });
    return pending->answered ? pending->result : 0;
}

void QtMessageTarget::EndDelivery()
{
    {
        const std::lock_guard lock(sendMutex);
        delivering = false;
    }
    sendAnswered.notify_all();
}

void QtMessageTarget::DeliverPending(int milliseconds)
{
    // Without the event loop, a wait for a worker only lets time pass.
    if (!Delivering()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    // A loop of its own that blocks for a while, so that a caller waiting for
    // a worker does not spin while nothing arrives.
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
