#include "controls/entry_operations.h"

#include "controls/color_label.h"
#include "controls/custom_radio_button.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

QString WindowText(const QWidget* window) {
    if (auto* label = qobject_cast<const QLabel*>(window)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(window)) return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(window)) return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(window)) return combo->currentText();
    return window->windowTitle();
}

namespace {

void SetWindowText(QWidget* window, const QString& text) {
    if (auto* label = dynamic_cast<ColorLabel*>(window)) return label->SetText(text);
    if (auto* radio = dynamic_cast<CCustomRadioButton*>(window)) return radio->SetText(text);
    if (auto* label = qobject_cast<QLabel*>(window)) return label->setText(text);
    if (auto* button = qobject_cast<QAbstractButton*>(window)) return button->setText(text);
    if (auto* edit = qobject_cast<QLineEdit*>(window)) return edit->setText(text);
    window->setWindowTitle(text);
}

}  // namespace

bool SetTextIfChanged(LoaderControl& entry, const QString& text) {
    if (WindowText(entry.window) == text) return false;
    SetWindowText(entry.window, text);
    entry.window->update();
    return true;
}

namespace {

bool ChangeColor(ColorRef& textColor, ColorRef color) {
    if (textColor == color) return false;
    textColor = color;
    return true;
}

}  // namespace

bool SetLabelColor(LoaderControl& entry, ColorRef color) {
    bool changed = false;
    if (auto* label = dynamic_cast<ColorLabel*>(entry.window)) {
        changed = ChangeColor(label->textColor, color);
    } else if (auto* radio = dynamic_cast<CCustomRadioButton*>(entry.window)) {
        changed = ChangeColor(radio->textColor, color);
    }
    if (!changed) return false;
    entry.color = color;
    entry.window->update();
    return true;
}
