#pragma once
// A drop-down list that runs its own action when the user picks an entry.
// Filling or selecting from code does not run it.

#include "controls/loader_control.h"

#include <QComboBox>

class CustomCombo : public QComboBox {
public:
    explicit CustomCombo(ControlAction handler, QWidget* parent = nullptr);

    const ControlAction handler;
};
