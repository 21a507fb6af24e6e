#include "controls/custom_combo.h"

CustomCombo::CustomCombo(ControlAction action, QWidget* parent)
    : QComboBox(parent), handler(std::move(action)) {
    setEditable(false);
    // `activated` is the user's choice (mouse or keys); setCurrentIndex and
    // refills from code only emit currentIndexChanged.
    connect(this, &QComboBox::activated, this, [this] {
        if (handler) handler();
    });
}
