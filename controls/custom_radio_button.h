#pragma once
// A radio button with a text color of its own, a transparent background,
// and an action of its own for the user's click.

#include "controls/loader_control.h"

#include <QRadioButton>

class CCustomRadioButton : public QRadioButton {
public:
    CCustomRadioButton(const QString& text, ControlAction handler, QWidget* parent = nullptr);

    const ControlAction handler;
    ColorRef textColor = 0;

    // Sets the text and repaints at once, so no trace of the old text stays.
    void SetText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
};
