#include "shell/qt/qt_message_box.h"

#include "shell/qt/qt_text.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <iostream>
#include <memory>

QtMessageBoxSink::QtMessageBoxSink(QObject* parent) : QObject(parent) {}

void QtMessageBoxSink::Show(std::string_view text)
{
    const QString message = ToQString(text);
    if (IsClosed()) {
        std::cerr << message.toStdString() << std::endl;
        return;
    }
    if (QThread::currentThread() == thread()) {
        ShowHere(message);
        return;
    }
    // Not a blocking call: the window's thread must never be able to wait for
    // this worker while the worker waits for it.
    auto shown = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(
        this,
        [this, message, shown] {
            if (IsClosed())
                std::cerr << message.toStdString() << std::endl;
            else
                ShowHere(message);
            std::lock_guard lock(mutex);
            *shown = true;
            answered.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex);
    answered.wait(lock, [&] { return *shown || closed; });
}

void QtMessageBoxSink::Close()
{
    std::lock_guard lock(mutex);
    closed = true;
    answered.notify_all();
}

bool QtMessageBoxSink::IsClosed()
{
    std::lock_guard lock(mutex);
    return closed;
}

void QtMessageBoxSink::ShowHere(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, owner);
    box.exec();
}
