#include "controls/custom_button.h"

CustomButton::CustomButton(const QString& text, ControlAction action, QWidget* parent)
    : QPushButton(text, parent), handler(std::move(action)) {
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (handler) handler();
    });
}
