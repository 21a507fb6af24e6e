#include "app/gui/qt_message_target.h"

#include <QEventLoop>
#include <QTimer>
#include <QThread>

QtMessageTarget::QtMessageTarget(Handler handler, QObject* parent)
    : QObject(parent), handler(std::move(handler))
{
}

void QtMessageTarget::Post(unsigned message, WParam wparam, LParam lparam)
{
    QMetaObject::invokeMethod(
        this, [this, message, wparam, lparam] { handler(message, wparam, lparam); },
        Qt::QueuedConnection);
}

LParam QtMessageTarget::Send(unsigned message, WParam wparam, LParam lparam)
{
    if (QThread::currentThread() == thread())
        return handler(message, wparam, lparam);
    LParam result = 0;
    QMetaObject::invokeMethod(
        this, [&] { result = handler(message, wparam, lparam); }, Qt::BlockingQueuedConnection);
    return result;
}

void QtMessageTarget::DeliverPending(int milliseconds)
{
    // A loop of its own that blocks for a while, so that a caller waiting for
    // a worker does not spin while nothing arrives.
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
