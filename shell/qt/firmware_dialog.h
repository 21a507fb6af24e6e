#pragma once
// The Quillmark window: a 640 × 540 dialog whose two wizard pages are built
// at run time from the page tables. It carries out the user-interface
// operations for the dialog's logic and delivers the five messages to it on
// its own thread.

#include "controls/control_renderer.h"
#include "controls/loader_control.h"
#include "shell/qt/qt_message_target.h"
#include "platform/message_box.h"
#include "wizard/dialog_services.h"
#include "wizard/dialog_ui.h"
#include "wizard/firmware_dialog_logic.h"
#include "wizard/page_book.h"
#include "wizard/page_tables.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class CVelkanFirmwareGUIDlg final : public QDialog, public IDialogUi {
    Q_OBJECT
public:
    // Makes the loader manager that reports to this dialog's window.
    using ServicesFactory = std::function<std::unique_ptr<IDialogServices>(IMessageTarget& window)>;

    explicit CVelkanFirmwareGUIDlg(const ServicesFactory& makeLoaderManager,
                                   QWidget* parent = nullptr);
    ~CVelkanFirmwareGUIDlg() override;

    // Starts the monitors, builds both pages and shows the setup page.
    void Initialise();

    IMessageTarget& Window() { return *messages; }
    IDialogServices& Services() { return *loaderManager; }
    // Qt is ending the program without its event loop (the display went
    // away): stops the job and the monitors as closing would, without the
    // window. Nothing of the dialog may be used afterwards.
    void EndWithoutDisplay();
    CFirmwareDialogLogic& Logic() { return *logic; }
    // The control's widget; for tests and screenshots.
    QWidget* ControlWindow(Control control) const;

    // Replaces the open-file question (tests answer it themselves).
    std::function<std::optional<std::string>(const OpenFileQuestion&)> askOpenFile;
    // Where the dialog's messages go: the window's box (tests capture them).
    // Standard error without one.
    IMessageBoxSink* messageBox = nullptr;
    // Replaces the yes-or-no question (tests answer it themselves).
    std::function<bool(std::string_view)> askYesNo;

    // IDialogUi
    bool SetTextIfChanged(Control control, std::string_view text) override;
    bool SetLabelColor(Control control, ColorRef color) override;
    void Enable(Control control, bool enabled) override;
    void SetShown(Control control, bool shown) override;
    bool IsShown(Control control) const override;
    void ShowPage(Page page) override;
    std::optional<Page> CurrentPage() const override;
    bool IsChecked(Control radio) const override;
    std::string BoxText(Control box) const override;
    void SetFocus(Control control) override;
    void PortListReset() override;
    void PortListAdd(std::string_view text) override;
    bool PortListSelectExact(std::string_view text) override;
    void PortListSelectFirst() override;
    int PortListCount() const override;
    std::string PortListSelectedText() const override;
    void SetProgress(int percent) override;
    void RedrawDialog() override;
    std::optional<std::string> AskOpenFile(const OpenFileQuestion& question) override;
    void EndDialog(int result) override;
    void ShowMessage(std::string_view text) override;
    bool AskYesNo(std::string_view question) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildPages();
    void PlaceControl(LoaderControl& control, const PageEntry& entry);
    void LinkMacBoxes();
    LoaderControl& Entry(Control control) const;

    std::unique_ptr<QtMessageTarget> messages;
    std::unique_ptr<IDialogServices> loaderManager;
    std::unique_ptr<CFirmwareDialogLogic> logic;
    std::unique_ptr<ControlRenderer> renderer;
    PageBook<LoaderControl> book;
};
