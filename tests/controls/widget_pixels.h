#pragma once
// Looking at what the controls drew.

#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <functional>
#include <ostream>

// Failure messages name colors instead of dumping their bytes.
inline void PrintTo(const QColor& color, std::ostream* out) {
    *out << color.name(QColor::HexArgb).toStdString();
}

// What the window shows on the screen now: the flushed backing store, so
// that anything left over from earlier paints is still there.
inline QImage ScreenImage(QWidget* window) {
    QCoreApplication::processEvents();
    return window->screen()->grabWindow(window->winId()).toImage().convertToFormat(
        QImage::Format_RGB32);
}

inline int CountPixels(const QImage& image, const std::function<bool(QColor)>& wanted) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (wanted(image.pixelColor(x, y))) ++count;
        }
    }
    return count;
}

inline bool IsReddish(QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; }
inline bool IsGreenish(QColor c) { return c.green() > 80 && c.red() < 80 && c.blue() < 80; }
inline bool IsDark(QColor c) { return c.red() < 100 && c.green() < 100 && c.blue() < 100; }
