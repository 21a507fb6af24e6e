#include "shell/qt/application_name.h"

#include <QApplication>

void NameApplication()
{
    // The name only. A display name set as well is what the window systems
    // append to every window title ("Quillmark Firmware Update — Quillmark");
    // unset, it follows this name for the message boxes' caption.
    QApplication::setApplicationName("Quillmark");
}
