#include "controls/param_edit.h"

#include <QKeyEvent>
#include <QValidator>

namespace {

QString Upper(char character) { return QString(QChar(character)).toUpper(); }

// Keeps letters in upper case whichever way they arrive (typed or pasted)
// without refusing anything: pasted text is taken as it is.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

// A fixed box reads as one the user cannot change, yet its digits stay
// black on a light ground.
const QColor kFixedBoxBackground(0xE3, 0xE3, 0xE3);

}  // namespace

CParamEdit::CParamEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignCenter);
    setFrame(true);
    setValidator(new UpperCaseValidator(this));
}

bool CParamEdit::PassesFilter(QChar character) {
    const char16_t code = character.unicode();
    if (code < 0x20) return true;  // Backspace, and the clipboard keys
    return (code >= '0' && code <= '9') || (code >= 'a' && code <= 'f') ||
           (code >= 'A' && code <= 'F');
}

void CParamEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    // Keys without a character (arrows, Delete, ...), control characters
    // and shortcuts such as Ctrl+V keep the edit box's own handling; so does
    // a read-only box, which ignores typing anyway.
    const auto shortcutKeys = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const bool shortcut = (event->modifiers() & shortcutKeys) != 0;
    if (shortcut || text.isEmpty() || text[0].unicode() < 0x20 || isReadOnly()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    // An input method may deliver several characters at once: each is typed.
    for (const QChar character : text) {
        if (character.unicode() >= 0x20 && PassesFilter(character)) TypeCharacter(character);
    }
}

void CParamEdit::TypeCharacter(QChar character) {
    lastChar = static_cast<char>(character.unicode());
    if (hasSelectedText() || text().size() < maxLength()) {
        insert(Upper(lastChar));
        return;
    }
    OnMaxText();
}

// The character did not fit: overwrite the digit at the caret, or carry on
// into the next box when the caret stands at the end.
void CParamEdit::OnMaxText() {
    const QString current = text();
    const int caret = cursorPosition();
    if (caret == 0) {
        setText(Upper(lastChar) + current.right(1));
        setCursorPosition(1);
    } else if (caret == 1) {
        setText(current.left(1) + Upper(lastChar));
        setCursorPosition(2);
    } else if (next) {
        CarryIntoNext();
    }
}

void CParamEdit::CarryIntoNext() {
    next->setFocus(Qt::TabFocusReason);
    next->setText(Upper(lastChar) + next->text().right(1));
    next->setCursorPosition(1);
}

void CParamEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    const QString current = text();
    if (current.isEmpty()) {
        setText("00");
    } else if (current.size() == 1) {
        setText("0" + current);
    }
}

// Typing into a box that was clicked into replaces both digits, as it does
// after Tab; a click into the box that already has the focus places the
// caret as usual.
void CParamEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    focusedByClick = event->reason() == Qt::MouseFocusReason;
}

void CParamEdit::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (focusedByClick && event->button() == Qt::LeftButton) {
        selectAll();
        keepClickSelection = true;
    }
    focusedByClick = false;
}

void CParamEdit::mouseMoveEvent(QMouseEvent* event) {
    if (keepClickSelection) return;
    QLineEdit::mouseMoveEvent(event);
}

void CParamEdit::mouseReleaseEvent(QMouseEvent* event) {
    keepClickSelection = false;
    QLineEdit::mouseReleaseEvent(event);
}

void CParamEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() != QEvent::ReadOnlyChange) return;
    if (isReadOnly()) {
        QPalette fixed = palette();
        fixed.setColor(QPalette::Base, kFixedBoxBackground);
        setPalette(fixed);
    } else {
        setPalette(QPalette());  // back to the parent's colours
    }
}
