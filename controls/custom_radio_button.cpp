#include "controls/custom_radio_button.h"

#include "controls/color_ref.h"

#include <QStyleOptionButton>
#include <QStylePainter>

CCustomRadioButton::CCustomRadioButton(const QString& text, ControlAction action, QWidget* parent)
    : QRadioButton(text, parent), handler(std::move(action)) {
    setAutoFillBackground(false);
    // `clicked` comes from the user only (mouse or keyboard), after the
    // button has been checked; programmatic setChecked stays silent.
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (handler) handler();
    });
}

void CCustomRadioButton::SetText(const QString& text) {
    setText(text);
    repaint();
}

void CCustomRadioButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QColor color = ToQColor(textColor);
    option.palette.setColor(QPalette::WindowText, color);
    option.palette.setColor(QPalette::ButtonText, color);
    painter.drawControl(QStyle::CE_RadioButton, option);
}
