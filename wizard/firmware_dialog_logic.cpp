#include "wizard/firmware_dialog_logic.h"

#include "images/srecord_path.h"
#include "job/job_messages.h"
#include "job/mac_address.h"
#include "platform/text_paths.h"
#include "wizard/dialog_texts.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

bool IsHexPair(std::string_view text)
{
    auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    return text.size() == 2 && hex(text[0]) && hex(text[1]);
}

}  // namespace

CFirmwareDialogLogic::CFirmwareDialogLogic(IDialogUi& ui, IDialogServices& services)
    : ui(ui), services(services)
{
}

void CFirmwareDialogLogic::Initialise(const std::function<void()>& buildPages)
{
    services.StartImageMonitor();
    services.StartBoardMonitors();
    buildPages();
    pagesBuilt = true;
    ClearResultPage();
    // The USB connection is the first choice, so the board state is shown
    // whatever the radios say yet.
    ShowCurrentImage();
    ShowUsbState();
    ui.ShowPage(Page::setup);
    ui.SetFocus(Control::browseButton);
    // A monitor that failed while they started has waited for the pages.
    ShowMonitorFailures();
}

void CFirmwareDialogLogic::ShowMonitorFailures()
{
    for (const std::string& text : services.TakeMonitorFailures())
        ui.ShowMessage(text);
}

LParam CFirmwareDialogLogic::HandleMessage(unsigned message, WParam wparam, LParam)
{
    if (!pagesBuilt)
        return 0;
    switch (message) {
    case WM_COMPORTS_CHANGED:
        return OnComPortsChanged();
    case WM_JLINK_CHANGED:
        return OnJLinkChanged();
    case WM_BINFILES_CHANGED:
        return OnBinFilesChanged();
    case WM_JOB_STATUS:
        return OnJobStatus(wparam);
    case WM_JOB_PROGRESS:
        return OnJobProgress(wparam);
    case WM_JOB_MESSAGE:
        ui.ShowMessage(TextOfMessage(wparam));
        return 0;
    case WM_MONITOR_FAILED:
        ShowMonitorFailures();
        return 0;
    default:
        return 0;
    }
}

void CFirmwareDialogLogic::HandleCommand(int identifier)
{
    if (identifier == 1)
        ui.ShowPage(Page::result);
    else if (identifier == 3)
        ui.ShowPage(Page::setup);
}

void CFirmwareDialogLogic::RunAction(Action action)
{
    switch (action) {
    case Action::browse: OnBrowse(); break;
    case Action::defaultFile: OnDefaultFile(); break;
    case Action::radioClick: OnRadioClicked(); break;
    case Action::portSelection: OnPortSelectionChanged(); break;
    case Action::updateFirmware: OnUpdateFirmware(); break;
    case Action::close: OnClose(); break;
    case Action::back: OnBack(); break;
    case Action::none: break;
    }
}

// ---- board, probe and image state on the setup page ----

LParam CFirmwareDialogLogic::OnComPortsChanged()
{
    if (!ui.IsChecked(Control::usbRadio))
        return 0;
    ShowUsbState();
    RefreshSetupPage();
    return 0;
}

LParam CFirmwareDialogLogic::OnJLinkChanged()
{
    if (!ui.IsChecked(Control::jlinkRadio))
        return 0;
    ShowProbeState();
    RefreshSetupPage();
    return 0;
}

LParam CFirmwareDialogLogic::OnBinFilesChanged()
{
    ShowCurrentImage();
    ui.RedrawDialog();
    return 0;
}

void CFirmwareDialogLogic::ShowUsbState()
{
    const std::vector<std::string> ports = services.BoardPorts();
    shownPorts = ports;
    if (ports.empty()) {
        ShowBoardStatus(kNoBoardText, kRed);
        ui.Enable(Control::updateButton, false);
    } else if (ports.size() == 1) {
        ShowBoardStatus(std::string(kBoardOnPrefix) + ports.front(), kGreen);
    } else {
        FillPortList(ports);
    }
    if (!ports.empty())
        ui.Enable(Control::updateButton, true);
    SetBoardPictures(!ports.empty(), ports.empty(), false, false);
}

void CFirmwareDialogLogic::ShowProbeState()
{
    const bool present = services.ProbePresent();
    ShowBoardStatus(present ? kProbeActiveText : kNoProbeText, present ? kGreen : kRed);
    ui.Enable(Control::updateButton, present);
    SetBoardPictures(false, false, present, !present);
}

void CFirmwareDialogLogic::ShowCurrentImage()
{
    const std::optional<CBinFile> entry = services.CurrentImage();
    if (!entry) {
        // The text does not say which folder is meant; the watched one
        // follows on a line of its own.
        ui.SetTextIfChanged(Control::imageLabel,
                            std::string(kNoImageText) + "\n" + services.ImageFolder());
        ui.SetLabelColor(Control::imageLabel, kRed);
        return;
    }
    // A browsed file may lie anywhere, so the user sees where.
    const bool browsed = entry->kind == CBinFile::BrowsedFile;
    ui.SetTextIfChanged(Control::imageLabel, browsed ? entry->path : entry->name);
    ui.SetLabelColor(Control::imageLabel, kBlack);
}

void CFirmwareDialogLogic::ShowBoardStatus(std::string_view text, ColorRef color)
{
    ui.SetTextIfChanged(Control::boardStatusLabel, text);
    ui.SetLabelColor(Control::boardStatusLabel, color);
    ui.SetShown(Control::boardStatusLabel, true);
    ui.SetShown(Control::portList, false);
}

void CFirmwareDialogLogic::FillPortList(const std::vector<std::string>& ports)
{
    ui.PortListReset();
    for (const std::string& port : ports)
        ui.PortListAdd(std::string(kBoardOnPrefix) + port);
    // Only the very entry the user chose may stay chosen: a prefix match
    // would move "Board on ttyUSB1" to "Board on ttyUSB10", another board.
    const bool kept = !lastPortSelection.empty() && ui.PortListSelectExact(lastPortSelection);
    if (!kept && ui.PortListCount() > 0)
        ui.PortListSelectFirst();
    ui.SetShown(Control::boardStatusLabel, false);
    ui.SetShown(Control::portList, true);
}

void CFirmwareDialogLogic::SetBoardPictures(bool board, bool noBoard, bool probe, bool noProbe)
{
    ui.SetShown(Control::boardPicture, board);
    ui.SetShown(Control::noBoardPicture, noBoard);
    ui.SetShown(Control::probePicture, probe);
    ui.SetShown(Control::noProbePicture, noProbe);
}

// Shown flags take effect only at a page switch; the result page keeps them
// for when the user goes back.
void CFirmwareDialogLogic::RefreshSetupPage()
{
    if (ui.CurrentPage() == Page::setup)
        ui.ShowPage(Page::setup);
    ui.RedrawDialog();
}

// ---- user actions ----

void CFirmwareDialogLogic::OnRadioClicked()
{
    // Only the handler of the checked radio changes anything.
    OnComPortsChanged();
    OnJLinkChanged();
}

void CFirmwareDialogLogic::OnPortSelectionChanged()
{
    lastPortSelection = ui.PortListSelectedText();
}

void CFirmwareDialogLogic::OnBrowse()
{
    // The names FlashImage::Load reads as S-records.
    std::vector<std::string> sRecords;
    for (const std::string_view extension : kSRecordExtensions)
        sRecords.push_back("*" + std::string(extension));
    std::vector<std::string> images{std::string(kRawImagePattern)};
    images.insert(images.end(), sRecords.begin(), sRecords.end());
    // The user most likely wants a file beside the image in use, else one
    // beside those the program finds by itself.
    const std::optional<CBinFile> current = services.CurrentImage();
    std::string folder = current ? TextOfPath(PathOfText(current->path).parent_path()) : "";
    if (folder.empty())
        folder = services.ImageFolder();
    const OpenFileQuestion question{kOpenFileTitle,
                                    {{kImageFilesFilter, images},
                                     {kSRecordFilesFilter, sRecords},
                                     {kAllFilesFilter, {std::string(kAllFilesPattern)}}},
                                    "bin",
                                    true,
                                    folder};
    const std::optional<std::string> path = ui.AskOpenFile(question);
    if (!path)
        return;
    services.SetBrowsedFile(*path);
    ui.Enable(Control::defaultFileButton, true);
}

void CFirmwareDialogLogic::OnDefaultFile()
{
    services.ResetToFolder();
    ui.Enable(Control::defaultFileButton, false);
}

void CFirmwareDialogLogic::OnUpdateFirmware()
{
    // A job that has the board is never replaced, whatever key reaches here.
    if (jobWorking)
        return;
    const std::string mac = JoinedMacText();
    const std::optional<Control> badBox = FirstBadMacBox();
    if (badBox || !IsValidMacText(mac)) {
        ui.ShowMessage(kInvalidMacMessage);
        if (badBox)
            ui.SetFocus(*badBox);
        return;
    }
    SetJobWorking(true);
    // Nothing of an earlier job may stay on the page: a message box of the
    // new one would otherwise appear over the last one's outcome.
    ClearResultPage();
    ui.ShowPage(Page::result);
    const std::optional<CBinFile> entry = services.CurrentImage();
    if (!entry) {
        ShowRefusal(kNoImageReason);
        return;
    }
    StartJob(*entry, mac);
}

void CFirmwareDialogLogic::OnBack()
{
    if (jobWorking)
        return;
    if (services.HasSerialJob())
        StopSerialJob();
    ClearResultPage();
    ui.ShowPage(Page::setup);
}

// The worker may still be reporting while it stops: a board that greets just
// then sends "connected", "programming begins" and "loader download" before
// it sees the stop. Those reports are delivered (the worker waits for them)
// but belong to a job the user has abandoned, so they change nothing; once
// the worker has ended, nothing is working.
void CFirmwareDialogLogic::StopSerialJob()
{
    // No lock may be held here: the worker's last status arrives while we wait.
    stoppingJob = true;
    services.StopSerialJob();
    stoppingJob = false;
    SetJobWorking(false);
}

void CFirmwareDialogLogic::OnClose() { ui.EndDialog(0); }

bool CFirmwareDialogLogic::ConfirmClose()
{
    return !jobWorking || ui.AskYesNo(kQuitDuringJobQuestion);
}

// ---- starting a job ----

std::string CFirmwareDialogLogic::JoinedMacText() const
{
    std::string mac;
    for (int k = 0; k < kMacBoxCount; ++k)
        mac += ui.BoxText(MacBox(k));
    return mac;
}

// Each box holds one byte: digits that add up to sixteen but sit in the wrong
// boxes are not the address the user meant.
std::optional<Control> CFirmwareDialogLogic::FirstBadMacBox() const
{
    for (int k = 0; k < kMacBoxCount; ++k)
        if (!IsHexPair(ui.BoxText(MacBox(k))))
            return MacBox(k);
    return std::nullopt;
}

// The port of the board the user saw and chose: the one the label names, or
// the entry selected in the list. Empty when the page showed no board.
std::string CFirmwareDialogLogic::ChosenBoard() const
{
    if (shownPorts.size() < 2)
        return shownPorts.empty() ? std::string() : shownPorts.front();
    const std::string selected = ui.PortListSelectedText();
    return selected.size() > kBoardOnPrefix.size() ? selected.substr(kBoardOnPrefix.size()) : "";
}

void CFirmwareDialogLogic::StartJob(const CBinFile& entry, const std::string& mac)
{
    if (ui.IsChecked(Control::usbRadio))
        return StartSerialJob(entry, mac);
    if (!ui.IsChecked(Control::jlinkRadio)) {
        SetJobWorking(false);
        return;
    }
    if (!services.StartJLinkJob(mac, entry))
        ShowStatusRow(LookupStatus(kStatusFileUnreadable));
}

// The job runs on the very board the user chose or not at all: another board
// would be given the MAC address meant for the first.
void CFirmwareDialogLogic::StartSerialJob(const CBinFile& entry, const std::string& mac)
{
    const std::vector<std::string> ports = services.BoardPorts();
    const std::string chosen = ChosenBoard();
    if (ports.empty() || chosen.empty()) {
        ShowRefusal(kNoBoardReason);
        return;
    }
    if (std::find(ports.begin(), ports.end(), chosen) == ports.end()) {
        const std::string reason =
            std::string(kChosenBoardGoneReason) + std::string(kBoardOnPrefix) + chosen;
        ShowRefusal(reason);
        return;
    }
    if (!services.StartSerialJob(chosen, mac, entry))
        ShowStatusRow(LookupStatus(kStatusFileUnreadable));
}

// ---- job reports ----

LParam CFirmwareDialogLogic::OnJobStatus(WParam report)
{
    if (report == 0 || stoppingJob)
        return 0;
    ShowStatusRow(LookupStatus(StatusOfMessage(report).code));
    return 0;
}

LParam CFirmwareDialogLogic::OnJobProgress(WParam percent)
{
    if (stoppingJob)
        return 0;
    ui.SetProgress(static_cast<int>(std::min<WParam>(percent, 100)));
    return 0;
}

// The result page without an outcome: it only ever shows the job that runs
// or has just ended.
void CFirmwareDialogLogic::ClearResultPage()
{
    ui.SetProgress(0);
    ui.SetShown(Control::instructionsPicture, false);
    ShowStatusText("", kBlack);
}

// Codes outside the table change nothing but the text.
void CFirmwareDialogLogic::ShowStatusRow(const StatusRow& row)
{
    std::lock_guard lock(statusLock);
    if (row.code != 0)
        SetJobWorking(!LetsTheUserLeave(row.outcome));
    const StatusLook look = LookOfStatus(row);
    ApplyInstructions(look.instructions);
    ShowStatusText(row.text, look.color);
}

// An update that could not start: the user must be able to leave the result
// page again.
void CFirmwareDialogLogic::ShowRefusal(std::string_view reason)
{
    std::lock_guard lock(statusLock);
    SetJobWorking(false);
    ApplyInstructions(InstructionsEffect::Hide);
    ShowStatusText(reason, kRed);
}

void CFirmwareDialogLogic::SetJobWorking(bool working)
{
    ui.Enable(Control::closeButton, !working);
    ui.Enable(Control::backButton, !working);
    jobWorking = working;
}

void CFirmwareDialogLogic::ApplyInstructions(InstructionsEffect effect)
{
    if (effect == InstructionsEffect::AsIs)
        return;
    const bool shown = effect == InstructionsEffect::Show;
    const bool changed = ui.IsShown(Control::instructionsPicture) != shown;
    ui.SetShown(Control::instructionsPicture, shown);
    if (changed && ui.CurrentPage() == Page::result)
        ui.ShowPage(Page::result);
}

void CFirmwareDialogLogic::ShowStatusText(std::string_view text, ColorRef color)
{
    if (ui.SetTextIfChanged(Control::statusLabel, text))
        ui.RedrawDialog();
    if (ui.SetLabelColor(Control::statusLabel, color))
        ui.RedrawDialog();
}
