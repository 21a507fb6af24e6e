#include "controls/param_edit.h"

#include "wizard/box_row.h"
#include "wizard/mac_paste.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QValidator>

#include <algorithm>
#include <iterator>

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
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        Paste();
        return;
    }
    const QString text = event->text();
    // Keys without a character (arrows, Delete, ...), control characters
    // and shortcuts such as Ctrl+C keep the edit box's own handling; so does
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

void CParamEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    // The menu's Paste is the line edit's own; it is rerouted so that a whole
    // address fills the row from the menu too. It is found by its connection,
    // which holds in every language.
    for (QAction* action : menu->actions()) {
        if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
            disconnect(action, &QAction::triggered, this, &QLineEdit::paste))
            connect(action, &QAction::triggered, this, &CParamEdit::Paste);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CParamEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() != QEvent::ReadOnlyChange) return;
    if (isReadOnly()) {
        QPalette fixed = palette();
        fixed.setColor(QPalette::Base, kFixedBoxBackground);
        setPalette(fixed);
    } else {
        setPalette(QPalette());  // back to the parent's colors
    }
}

void CParamEdit::Paste() {
    if (TakeAddress(QApplication::clipboard()->text())) return;
    // A read-only box takes no text, and the line edit's paste() does not
    // check that itself.
    if (!isReadOnly()) QLineEdit::paste();
}

// Returns whether the text was a whole address (taken or refused).
bool CParamEdit::TakeAddress(const QString& text) {
    const std::vector<CParamEdit*> row = Row();
    std::vector<MacRowBox> boxes;
    for (const CParamEdit* box : row) boxes.push_back({box->text().toStdString(), box->isReadOnly()});
    const MacRowPaste paste = PasteIntoMacRow(text.toStdString(), boxes);
    if (paste.outcome == MacRowPaste::Outcome::notAnAddress) return false;
    if (paste.outcome == MacRowPaste::Outcome::refused) {
        QApplication::beep();
        return true;
    }
    for (std::size_t k = 0; k < row.size(); ++k) {
        if (!row[k]->isReadOnly()) row[k]->setText(QString::fromStdString(paste.texts[k]));
    }
    return true;
}

std::vector<CParamEdit*> CParamEdit::Row() {
    std::vector<CParamEdit*> siblings;
    if (parentWidget()) {
        for (CParamEdit* box : parentWidget()->findChildren<CParamEdit*>(Qt::FindDirectChildrenOnly))
            siblings.push_back(box);
    }
    return RowOfBox(this, siblings, [](const CParamEdit* box) { return box->next; });
}
