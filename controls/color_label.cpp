#include "controls/color_label.h"

#include "controls/color_ref.h"

#include <QPainter>
#include <QStyle>

ColorLabel::ColorLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAutoFillBackground(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
}

void ColorLabel::SetText(const QString& text) {
    setText(text);
    repaint();
}

void ColorLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, ToQColor(textColor));
    style()->drawItemText(&painter, contentsRect(), int(alignment()) | Qt::TextWordWrap, colors,
                          isEnabled(), text(), QPalette::WindowText);
}
