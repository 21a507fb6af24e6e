#include "app/gui/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

QtMessageBoxSink::QtMessageBoxSink(QObject* parent) : QObject(parent) {}

void QtMessageBoxSink::Show(std::string_view text)
{
    const QString message = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (QThread::currentThread() == thread())
        ShowHere(message);
    else
        QMetaObject::invokeMethod(this, [this, message] { ShowHere(message); },
                                  Qt::BlockingQueuedConnection);
}

void QtMessageBoxSink::ShowHere(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, owner);
    box.exec();
}
