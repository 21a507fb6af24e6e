#include "shell/qt/firmware_dialog.h"

#include "controls/accessible_picture.h"
#include "controls/application_icon.h"
#include "controls/color_label.h"
#include "controls/control_factories.h"
#include "controls/custom_combo.h"
#include "controls/entry_operations.h"
#include "controls/param_edit.h"
#include "controls/shared_fonts.h"
#include "shell/qt/open_file_dialog.h"
#include "shell/qt/qt_text.h"
#include "shell/qt/yes_no_box.h"
#include "wizard/accessible_text.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <iostream>

namespace {

// Each kind's Qt control with its table entry's text and font; what the user
// does with it goes to the dialog's logic.
class QtControlMaker {
public:
    QtControlMaker(QWidget* dialog, CFirmwareDialogLogic& logic) : dialog(dialog), logic(logic) {}

    auto Label(const PageEntry& e) { return CreateLabel(dialog, ToQString(e.text), FontOf(e)); }
    auto MacBox(const PageEntry& e) { return CreateMacBox(dialog, ToQString(e.text), FontOf(e)); }
    auto Button(const PageEntry& e)
    {
        return CreateButton(dialog, ToQString(e.text), FontOf(e), ActionOf(e));
    }
    auto Radio(const PageEntry& e)
    {
        return CreateRadio(dialog, ToQString(e.text), FontOf(e), ActionOf(e));
    }
    auto PortList(const PageEntry& e) { return CreatePortList(dialog, ActionOf(e)); }
    auto ProgressBar(const PageEntry&) { return CreateProgressBar(dialog); }
    auto Picture(const PageEntry& e) { return CreatePicture(dialog, e.picture); }

private:
    static QFont* FontOf(const PageEntry& e) { return e.font ? SharedFont(*e.font) : nullptr; }
    ControlAction ActionOf(const PageEntry& e)
    {
        return [&logic = logic, action = e.action] { logic.RunAction(action); };
    }

    QWidget* const dialog;
    CFirmwareDialogLogic& logic;
};

void ApplyAccessibleText(QWidget* window, const PageEntry& entry)
{
    const AccessibleText text = AccessibleTextOf(entry);
    if (!text.name.empty())
        window->setAccessibleName(ToQString(text.name));
    if (!text.description.empty())
        window->setAccessibleDescription(ToQString(text.description));
    if (text.decoration)
        MarkAsDecoration(window);
}

}  // namespace

CVelkanFirmwareGUIDlg::CVelkanFirmwareGUIDlg(const ServicesFactory& makeLoaderManager,
                                             QWidget* parent)
    : QDialog(parent),
      messages(std::make_unique<QtMessageTarget>(
          [this](unsigned m, WParam w, LParam l) { return logic->HandleMessage(m, w, l); }))
{
    setWindowTitle(ToQString(kDialogCaption));
    setWindowIcon(ApplicationIcon());
    setFixedSize(kClientSize.width, kClientSize.height);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    loaderManager = makeLoaderManager(*messages);
    logic = std::make_unique<CFirmwareDialogLogic>(*this, *loaderManager);
}

CVelkanFirmwareGUIDlg::~CVelkanFirmwareGUIDlg()
{
    // The monitors and jobs stop first, while the pages they report to exist.
    loaderManager.reset();
}

void CVelkanFirmwareGUIDlg::Initialise()
{
    logic->Initialise([this] { BuildPages(); });
}

void CVelkanFirmwareGUIDlg::BuildPages()
{
    renderer = std::make_unique<ControlRenderer>(this);
    QtControlMaker maker(this, *logic);
    book.Build(maker, [this](LoaderControl& control, const PageEntry& entry) {
        PlaceControl(control, entry);
    });
    LinkMacBoxes();
}

void CVelkanFirmwareGUIDlg::PlaceControl(LoaderControl& control, const PageEntry& entry)
{
    QWidget* window = control.window;
    ApplyAccessibleText(window, entry);
    window->move(entry.position.x, entry.position.y);
    if (entry.size)
        window->resize(entry.size->width, entry.size->height);
    window->setEnabled(!entry.disabled);
    if (auto* box = qobject_cast<QLineEdit*>(window)) {
        if (entry.textLimit > 0)
            box->setMaxLength(entry.textLimit);
        box->setReadOnly(entry.readOnly);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(window)) {
        if (entry.checked)
            button->setChecked(true);
        // Enter on a focused push button presses it; elsewhere it is the
        // dialog's command 1.
        if (auto* push = qobject_cast<QPushButton*>(window))
            push->setAutoDefault(false);
    }
    if (entry.color != kBlack)
        ::SetLabelColor(control, entry.color);
}

void CVelkanFirmwareGUIDlg::LinkMacBoxes()
{
    for (int k = 0; k + 1 < kMacBoxCount; ++k) {
        auto* box = static_cast<CParamEdit*>(Entry(MacBox(k)).window);
        box->next = static_cast<CParamEdit*>(Entry(MacBox(k + 1)).window);
    }
}

LoaderControl& CVelkanFirmwareGUIDlg::Entry(Control control) const { return book[control]; }

QWidget* CVelkanFirmwareGUIDlg::ControlWindow(Control control) const
{
    const LoaderControl* entry = book.Find(control);
    return entry ? entry->window : nullptr;
}

bool CVelkanFirmwareGUIDlg::SetTextIfChanged(Control control, std::string_view text)
{
    return ::SetTextIfChanged(Entry(control), ToQString(text));
}

bool CVelkanFirmwareGUIDlg::SetLabelColor(Control control, ColorRef color)
{
    return ::SetLabelColor(Entry(control), color);
}

void CVelkanFirmwareGUIDlg::Enable(Control control, bool enabled)
{
    Entry(control).window->setEnabled(enabled);
}

void CVelkanFirmwareGUIDlg::SetShown(Control control, bool shown) { book.SetShown(control, shown); }

bool CVelkanFirmwareGUIDlg::IsShown(Control control) const { return book.IsShown(control); }

void CVelkanFirmwareGUIDlg::ShowPage(Page page)
{
    renderer->ShowPage(book.PageList(page));
    book.TurnedTo(page);
}

std::optional<Page> CVelkanFirmwareGUIDlg::CurrentPage() const { return book.Current(); }

bool CVelkanFirmwareGUIDlg::IsChecked(Control radio) const
{
    return static_cast<QAbstractButton*>(Entry(radio).window)->isChecked();
}

std::string CVelkanFirmwareGUIDlg::BoxText(Control box) const
{
    return static_cast<QLineEdit*>(Entry(box).window)->text().toStdString();
}

void CVelkanFirmwareGUIDlg::SetFocus(Control control) { Entry(control).window->setFocus(); }

namespace {

CustomCombo& Combo(const LoaderControl& entry) { return *static_cast<CustomCombo*>(entry.window); }

}  // namespace

void CVelkanFirmwareGUIDlg::PortListReset() { Combo(Entry(Control::portList)).clear(); }

void CVelkanFirmwareGUIDlg::PortListAdd(std::string_view text)
{
    Combo(Entry(Control::portList)).addItem(ToQString(text));
}

bool CVelkanFirmwareGUIDlg::PortListSelectExact(std::string_view text)
{
    CustomCombo& combo = Combo(Entry(Control::portList));
    const int index = combo.findText(ToQString(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        return false;
    combo.setCurrentIndex(index);
    return true;
}

void CVelkanFirmwareGUIDlg::PortListSelectFirst() { Combo(Entry(Control::portList)).setCurrentIndex(0); }

int CVelkanFirmwareGUIDlg::PortListCount() const { return Combo(Entry(Control::portList)).count(); }

std::string CVelkanFirmwareGUIDlg::PortListSelectedText() const
{
    const CustomCombo& combo = Combo(Entry(Control::portList));
    return combo.currentIndex() < 0 ? std::string() : combo.currentText().toStdString();
}

void CVelkanFirmwareGUIDlg::SetProgress(int percent)
{
    static_cast<QProgressBar*>(Entry(Control::progressBar).window)->setValue(percent);
}

void CVelkanFirmwareGUIDlg::RedrawDialog() { update(); }

std::optional<std::string> CVelkanFirmwareGUIDlg::AskOpenFile(const OpenFileQuestion& question)
{
    if (askOpenFile)
        return askOpenFile(question);
    const std::unique_ptr<QFileDialog> dialog = MakeOpenFileDialog(this, question);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().first().toStdString();
}

void CVelkanFirmwareGUIDlg::EndDialog(int result) { done(result); }

void CVelkanFirmwareGUIDlg::ShowMessage(std::string_view text)
{
    if (messageBox)
        messageBox->Show(text);
    else
        std::cerr << text << std::endl;
}

bool CVelkanFirmwareGUIDlg::AskYesNo(std::string_view question)
{
    if (askYesNo)
        return askYesNo(question);
    return MakeYesNoBox(this, windowTitle(), ToQString(question))->exec() == QMessageBox::Yes;
}

void CVelkanFirmwareGUIDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && !logic->EscapeEndsDialog())
        return;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Enter presses the focused push button; elsewhere it is command 1. A
    // button that is hidden or disabled is not pressed by any key.
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (!button)
        logic->HandleCommand(1);
    else if (button->isVisible() && button->isEnabled())
        button->click();
}

void CVelkanFirmwareGUIDlg::EndWithoutDisplay()
{
    QtMessageTarget::EndDelivery();
    loaderManager.reset();
}

void CVelkanFirmwareGUIDlg::closeEvent(QCloseEvent* event)
{
    if (!logic->ConfirmClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
