#pragma once
// The Quillmark window on Windows: a dialog whose client area is 640 × 540
// pixels at 96 DPI and as much more as the window's DPI is, whatever its
// frame, and whose two wizard pages are built at run
// time from the page tables, with the system's own controls. It carries out
// the user-interface operations for the dialog's logic and receives the five
// messages as window messages.
//
// The window is modeless underneath, so that the program and the tests can
// both run its message loop; the program's loop (RunModal) makes it behave
// as a modal dialog: Tab, Enter and Esc as the system's dialogs have them.

#include "controls/win32/control_renderer.h"
#include "controls/win32/loader_control.h"
#include "shell/win32/accessible_annotation.h"
#include "shell/win32/window_message_target.h"
#include "platform/message_box.h"
#include "wizard/dialog_services.h"
#include "wizard/dialog_ui.h"
#include "wizard/dpi_scale.h"
#include "wizard/firmware_dialog_logic.h"
#include "wizard/page_book.h"
#include "wizard/page_tables.h"

#include <windows.h>

#include <array>
#include <functional>
#include <memory>

class CVelkanFirmwareGUIDlg final : public IDialogUi {
public:
    // Makes the loader manager that reports to this dialog's window.
    using ServicesFactory = std::function<std::unique_ptr<IDialogServices>(IMessageTarget& window)>;

    explicit CVelkanFirmwareGUIDlg(const ServicesFactory& makeLoaderManager);
    ~CVelkanFirmwareGUIDlg() override;
    CVelkanFirmwareGUIDlg(const CVelkanFirmwareGUIDlg&) = delete;
    CVelkanFirmwareGUIDlg& operator=(const CVelkanFirmwareGUIDlg&) = delete;

    // Creates the window, starts the monitors, builds both pages and shows
    // the setup page. False when the window could not be created.
    bool Create();
    // Runs the message loop until the dialog ends; returns its result.
    int RunModal();
    // Handles one message taken from the thread's queue: the dialog's
    // keyboard handling first, then the window it is for.
    void Dispatch(MSG& message);

    bool Ended() const { return ended; }
    int Result() const { return result; }
    HWND Handle() const { return window; }
    IMessageTarget& Window() { return messages; }
    IDialogServices& Services() { return *loaderManager; }
    CFirmwareDialogLogic& Logic() { return *logic; }
    // The control's window; for tests and screenshots.
    HWND ControlWindow(Control control) const;

    // Replaces the open-file question (tests answer it themselves).
    std::function<std::optional<std::string>(const OpenFileQuestion&)> askOpenFile;
    // Called with the window as soon as it exists, before the monitors
    // start: every message box needs the window as its owner.
    std::function<void(HWND)> onWindowCreated;
    // Where the dialog's messages go: the window's box (tests capture them).
    // Standard error without one.
    IMessageBoxSink* messageBox = nullptr;
    // Replaces the yes-or-no question (tests answer it themselves).
    std::function<bool(std::string_view)> askYesNo;
    // Told of each accessible property the controls are given as they are
    // created (AccessibleAnnotation::onGiven).
    std::function<void(const GivenProperty&)> onAccessibleProperty;

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

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
    BOOL OnInitDialog();
    bool OnCommand(WPARAM wparam);
    BOOL OnEraseBackground(HDC context);
    void OnClose();
    void OnSetFocus();
    void OnDpiChanged(int newDpi, const RECT& suggested);
    SIZE OuterSizeAt(int newDpi) const;

    void BuildPages();
    void PlaceControl(LoaderControl& control, const PageEntry& entry);
    void LayOut(const PageEntry& entry);
    void LinkMacBoxes();
    LoaderControl& Entry(Control control) const;
    HWND PortList() const;

    CWindowMessageTarget messages;
    std::unique_ptr<IDialogServices> loaderManager;
    std::unique_ptr<CFirmwareDialogLogic> logic;
    std::unique_ptr<ControlRenderer> renderer;
    std::unique_ptr<AccessibleAnnotation> annotation;
    PageBook<LoaderControl> book;
    HWND window = nullptr;
    int dpi = kLayoutDpi;  // the window's; the tables are laid out at 96
    HICON icon = nullptr;
    HBRUSH background = nullptr;
    bool ended = false;
    int result = 0;
};
