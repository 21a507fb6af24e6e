#pragma once
// A box for one byte of the MAC address, two hexadecimal digits. A row of
// them, each linked to its right-hand neighbour, takes all sixteen digits in
// one go: a full box overwrites, and typing at its end carries on into the
// next box. Leaving a box fills it up to two digits. A whole address pasted
// into any box of a row fills the row.

#include <QLineEdit>

#include <vector>

class CParamEdit : public QLineEdit {
public:
    explicit CParamEdit(QWidget* parent = nullptr);

    // The last character the filter let through, as typed.
    char lastChar = 0;
    // The box to the right; null for the last box of a row.
    CParamEdit* next = nullptr;

    static bool PassesFilter(QChar character);

    // Pastes the clipboard as Ctrl+V does: a whole address fills the row,
    // anything else goes into this box as the line edit pastes it.
    void Paste();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void TypeCharacter(QChar character);
    void OnMaxText();
    void CarryIntoNext();
    bool TakeAddress(const QString& text);
    std::vector<CParamEdit*> Row();

    // The focus came with a mouse press that is still to arrive.
    bool focusedByClick = false;
    // The press that brought the focus selected the box; the drag that may
    // follow it must not shrink that selection.
    bool keepClickSelection = false;
};
