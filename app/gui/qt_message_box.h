#pragma once
// The application's message box in the dialog: modal over the main window,
// the application's title as caption, an OK button and the exclamation icon.
// Shown from any thread; a worker waits until the user has closed it.

#include "app/message_box.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class QtMessageBoxSink final : public QObject, public IMessageBoxSink {
    Q_OBJECT
public:
    explicit QtMessageBoxSink(QObject* parent = nullptr);

    void SetOwner(QWidget* window) { owner = window; }
    void Show(std::string_view text) override;

private:
    void ShowHere(const QString& text);
    QPointer<QWidget> owner;
};
