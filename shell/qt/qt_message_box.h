#pragma once
// The application's message box in the dialog: modal over the main window,
// the application's title as caption, an OK button and the exclamation icon.
// Shown from any thread; a worker waits until the user has closed it.

#include "platform/message_box.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <condition_variable>
#include <mutex>

class QtMessageBoxSink final : public QObject, public IMessageBoxSink {
    Q_OBJECT
public:
    explicit QtMessageBoxSink(QObject* parent = nullptr);

    void SetOwner(QWidget* window) { owner = window; }
    void Show(std::string_view text) override;

    // From now on boxes go to standard error, and a worker waiting for a box
    // that has not been shown is let go: the window is closing, and its
    // thread may be about to wait for that worker.
    void Close();

private:
    void ShowHere(const QString& text);
    bool IsClosed();

    QPointer<QWidget> owner;
    std::mutex mutex;
    std::condition_variable answered;
    bool closed = false;
};
