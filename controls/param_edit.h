#pragma once
// A box for one byte of the MAC address, two hexadecimal digits. A row of
// them, each linked to its right-hand neighbour, takes all sixteen digits in
// one go: a full box overwrites, and typing at its end carries on into the
// next box. Leaving a box fills it up to two digits.

#include <QLineEdit>

class CParamEdit : public QLineEdit {
public:
    explicit CParamEdit(QWidget* parent = nullptr);

    // The last character the filter let through, as typed.
    char lastChar = 0;
    // The box to the right; null for the last box of a row.
    CParamEdit* next = nullptr;

    static bool PassesFilter(QChar character);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void TypeCharacter(QChar character);
    void OnMaxText();
    void CarryIntoNext();
};
