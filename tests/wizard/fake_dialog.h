#pragma once
// In-memory stand-ins for the dialog's window and for the rest of the system,
// so the dialog's logic runs without a window system. The fake window starts
// from the page tables, as the real shell does.

#include "wizard/dialog_services.h"
#include "wizard/dialog_ui.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct FakeControlState {
    std::string text;
    ColorRef color = kBlack;
    bool enabled = true;
    bool shown = true;
    bool checked = false;
    int textSets = 0;
    int colorSets = 0;
};

class FakeDialogUi final : public IDialogUi {
public:
    FakeDialogUi();

    bool SetTextIfChanged(Control control, std::string_view text) override;
    bool SetLabelColor(Control control, ColorRef color) override;
    void Enable(Control control, bool enabled) override;
    void SetShown(Control control, bool shown) override;
    bool IsShown(Control control) const override;
    void ShowPage(Page page) override;
    std::optional<Page> CurrentPage() const override { return page; }
    bool IsChecked(Control radio) const override;
    std::string BoxText(Control box) const override;
    void SetFocus(Control control) override { focus = control; }
    void PortListReset() override;
    void PortListAdd(std::string_view text) override;
    bool PortListSelectExact(std::string_view text) override;
    void PortListSelectFirst() override;
    int PortListCount() const override { return static_cast<int>(portEntries.size()); }
    std::string PortListSelectedText() const override;
    void SetProgress(int percent) override { progress = percent; }
    void RedrawDialog() override { ++redraws; }
    std::optional<std::string> AskOpenFile(const OpenFileQuestion& question) override;
    void EndDialog(int result) override { endResult = result; }
    void ShowMessage(std::string_view text) override { messageBoxes.emplace_back(text); }
    bool AskYesNo(std::string_view question) override
    {
        questions.emplace_back(question);
        return yesAnswer;
    }

    // What the user does.
    void CheckRadio(Control radio);
    void ChoosePort(std::string_view text);
    void TypeMac(const std::array<std::string, 8>& boxes);

    FakeControlState& operator[](Control control);

    std::array<FakeControlState, kControlCount> controls;
    std::vector<std::string> portEntries;
    int selectedPort = -1;
    std::optional<Page> page;
    std::vector<Page> pagesShown;
    int redraws = 0;
    int progress = 0;
    std::optional<std::string> openFileAnswer;
    std::optional<OpenFileQuestion> lastQuestion;
    std::optional<int> endResult;
    std::vector<std::string> messageBoxes;
    std::vector<std::string> questions;
    bool yesAnswer = false;
    std::optional<Control> focus;
};

struct FakeJobStart {
    std::string kind;  // "serial" or "jlink"
    std::string port;
    std::string mac;
    CBinFile entry;
};

class FakeDialogServices final : public IDialogServices {
public:
    void StartImageMonitor() override { calls.push_back("start image monitor"); }
    void StartBoardMonitors() override { calls.push_back("start board monitors"); }
    std::optional<CBinFile> CurrentImage() override { return image; }
    std::string ImageFolder() override { return imageFolder; }
    void SetBrowsedFile(const std::string& path) override;
    void ResetToFolder() override;
    std::vector<std::string> BoardPorts() override { return ports; }
    bool ProbePresent() override { return probe; }
    bool StartSerialJob(const std::string& port, const std::string& mac,
                        const CBinFile& entry) override;
    bool StartJLinkJob(const std::string& mac, const CBinFile& entry) override;
    bool HasSerialJob() override { return serialJob; }
    void StopSerialJob() override;
    std::vector<std::string> TakeMonitorFailures() override { return std::exchange(monitorFailures, {}); }

    std::vector<std::string> calls;
    std::vector<std::string> monitorFailures;
    std::optional<CBinFile> folderImage = CBinFile{CBinFile::FolderFile, "/opt/q/fw_2.bin", "fw_2.bin"};
    std::optional<CBinFile> image = folderImage;
    std::string imageFolder = "/opt/q";
    std::vector<std::string> ports;
    bool probe = false;
    bool imageLoads = true;
    bool serialJob = false;
    std::vector<FakeJobStart> starts;
    std::function<void()> onStop;  // runs inside StopSerialJob
};
