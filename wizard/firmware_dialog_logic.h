#pragma once
// The decisions of the firmware dialog (CVelkanFirmwareGUIDlg): what each
// button, radio and message does to the pages and which job it starts. It
// owns no window: it drives an IDialogUi and asks IDialogServices, so the Qt
// shell and the tests run the same logic. Every call comes from the dialog's
// thread.

#include "job/messages.h"
#include "wizard/dialog_controls.h"
#include "wizard/dialog_services.h"
#include "wizard/dialog_ui.h"
#include "wizard/status_look.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CFirmwareDialogLogic {
public:
    CFirmwareDialogLogic(IDialogUi& ui, IDialogServices& services);

    // The dialog's initialisation: start the monitors, let the shell build
    // both pages, show the image and board state, then the setup page.
    void Initialise(const std::function<void()>& buildPages);

    // The five messages; every handler returns 0.
    LParam HandleMessage(unsigned message, WParam wparam, LParam lparam);
    // Command 1 (Enter outside a push button) and 3; others are ignored.
    void HandleCommand(int identifier);
    void RunAction(Action action);

    void OnUpdateFirmware();
    void OnBrowse();
    void OnDefaultFile();
    void OnRadioClicked();
    void OnPortSelectionChanged();
    void OnBack();
    void OnClose();

    // While a job is writing to the board no key may end the dialog, and
    // closing it must be confirmed.
    bool EscapeEndsDialog() const { return !jobWorking; }
    bool ConfirmClose();

    // The text the user chose last in the port list; empty at first.
    const std::string& LastPortSelection() const { return lastPortSelection; }

private:
    LParam OnComPortsChanged();
    LParam OnJLinkChanged();
    LParam OnBinFilesChanged();
    LParam OnJobStatus(WParam report);
    LParam OnJobProgress(WParam percent);

    void ShowUsbState();
    void ShowProbeState();
    void ShowCurrentImage();
    void ShowMonitorFailures();
    void ShowBoardStatus(std::string_view text, ColorRef color);
    void FillPortList(const std::vector<std::string>& ports);
    void SetBoardPictures(bool board, bool noBoard, bool probe, bool noProbe);
    void RefreshSetupPage();

    std::string JoinedMacText() const;
    std::optional<Control> FirstBadMacBox() const;
    std::string ChosenBoard() const;
    void StartJob(const CBinFile& entry, const std::string& mac);
    void StartSerialJob(const CBinFile& entry, const std::string& mac);
    void StopSerialJob();
    void ClearResultPage();
    void ShowStatusRow(const StatusRow& row);
    void ShowRefusal(std::string_view reason);
    void SetJobWorking(bool working);
    void ApplyInstructions(InstructionsEffect effect);
    void ShowStatusText(std::string_view text, ColorRef color);

    IDialogUi& ui;
    IDialogServices& services;
    std::mutex statusLock;
    std::string lastPortSelection;
    std::vector<std::string> shownPorts;  // the board ports as the setup page shows them
    bool jobWorking = false;  // a job has the board: the result page's buttons are disabled
    bool stoppingJob = false;  // "<< Back" waits for the serial worker to end
    // Until the pages exist there is nothing to show; the builder shows the
    // state current then, and what a monitor said meanwhile. (A message box
    // runs a loop of its own that may deliver what the monitors post.)
    bool pagesBuilt = false;
};
