#include "app/gui/application_name.h"

#include <QApplication>

void NameApplication()
{
    QApplication::setApplicationName("Quillmark");
    QApplication::setApplicationDisplayName("Quillmark");
}
