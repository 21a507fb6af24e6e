#include "fake_dialog.h"

#include "wizard/page_tables.h"

#include <algorithm>
#include <stdexcept>

FakeDialogUi::FakeDialogUi()
{
    for (Page p : {Page::setup, Page::result}) {
        for (const PageEntry& entry : PageTableOf(p).entries) {
            FakeControlState& state = (*this)[entry.control];
            state.text = entry.text;
            state.color = entry.color;
            state.enabled = !entry.disabled;
            state.shown = entry.shown;
            state.checked = entry.checked;
        }
    }
}

FakeControlState& FakeDialogUi::operator[](Control control) { return controls[Index(control)]; }

bool FakeDialogUi::SetTextIfChanged(Control control, std::string_view text)
{
    FakeControlState& state = (*this)[control];
    if (state.text == text)
        return false;
    state.text = text;
    ++state.textSets;
    return true;
}

bool FakeDialogUi::SetLabelColor(Control control, ColorRef color)
{
    FakeControlState& state = (*this)[control];
    if (state.color == color)
        return false;
    state.color = color;
    ++state.colorSets;
    return true;
}

void FakeDialogUi::Enable(Control control, bool enabled) { (*this)[control].enabled = enabled; }

void FakeDialogUi::SetShown(Control control, bool shown) { (*this)[control].shown = shown; }

bool FakeDialogUi::IsShown(Control control) const { return controls[Index(control)].shown; }

void FakeDialogUi::ShowPage(Page shown)
{
    page = shown;
    pagesShown.push_back(shown);
    ++redraws;
}

bool FakeDialogUi::IsChecked(Control radio) const { return controls[Index(radio)].checked; }

std::string FakeDialogUi::BoxText(Control box) const { return controls[Index(box)].text; }

void FakeDialogUi::PortListReset()
{
    portEntries.clear();
    selectedPort = -1;
}

void FakeDialogUi::PortListAdd(std::string_view text) { portEntries.emplace_back(text); }

bool FakeDialogUi::PortListSelectExact(std::string_view text)
{
    const auto found = std::find(portEntries.begin(), portEntries.end(), text);
    if (found == portEntries.end())
        return false;
    selectedPort = static_cast<int>(found - portEntries.begin());
    return true;
}

void FakeDialogUi::PortListSelectFirst() { selectedPort = portEntries.empty() ? -1 : 0; }

std::string FakeDialogUi::PortListSelectedText() const
{
    return selectedPort < 0 ? std::string() : portEntries[selectedPort];
}

std::optional<std::string> FakeDialogUi::AskOpenFile(const OpenFileQuestion& question)
{
    lastQuestion = question;
    return openFileAnswer;
}

// An automatic radio button: the platform moves the check before the action.
void FakeDialogUi::CheckRadio(Control radio)
{
    (*this)[Control::usbRadio].checked = radio == Control::usbRadio;
    (*this)[Control::jlinkRadio].checked = radio == Control::jlinkRadio;
}

void FakeDialogUi::ChoosePort(std::string_view text)
{
    if (!PortListSelectExact(text))
        throw std::logic_error("no such port entry");
}

void FakeDialogUi::TypeMac(const std::array<std::string, 8>& boxes)
{
    for (int k = 0; k < kMacBoxCount; ++k)
        (*this)[MacBox(k)].text = boxes[k];
}

void FakeDialogServices::SetBrowsedFile(const std::string& path)
{
    calls.push_back("browsed " + path);
    image = CBinFile{CBinFile::BrowsedFile, path, path.substr(path.find_last_of('/') + 1)};
}

void FakeDialogServices::ResetToFolder()
{
    calls.push_back("reset to folder");
    image = folderImage;
}

bool FakeDialogServices::StartSerialJob(const std::string& port, const std::string& mac,
                                        const CBinFile& entry)
{
    starts.push_back({"serial", port, mac, entry});
    serialJob = imageLoads;
    return imageLoads;
}

bool FakeDialogServices::StartJLinkJob(const std::string& mac, const CBinFile& entry)
{
    starts.push_back({"jlink", "", mac, entry});
    return imageLoads;
}

void FakeDialogServices::StopSerialJob()
{
    calls.push_back("stop serial job");
    if (onStop)
        onStop();
    serialJob = false;
}
