#pragma once
// A static text in a color of its own, on a transparent background so that
// it sits on whatever the dialog painted behind it.

#include "controls/loader_control.h"

#include <QLabel>

class ColorLabel : public QLabel {
public:
    explicit ColorLabel(const QString& text, QWidget* parent = nullptr);

    // Written directly by the owner; takes effect at the next paint, so the
    // owner changes the text or repaints afterwards.
    ColorRef textColor = 0;

    // Sets the text and repaints at once, so no trace of the old text stays.
    void SetText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
};
