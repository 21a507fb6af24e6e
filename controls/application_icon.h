#pragma once
// The application's icon, compiled in with the pictures.

#include <QIcon>

QIcon ApplicationIcon();
