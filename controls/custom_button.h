#pragma once
// A push button that runs its own action when the user clicks it.

#include "controls/loader_control.h"

#include <QPushButton>

class CustomButton : public QPushButton {
public:
    CustomButton(const QString& text, ControlAction handler, QWidget* parent = nullptr);

    const ControlAction handler;
};
