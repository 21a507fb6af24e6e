// What a screen reader learns of the Windows window: the names the controls
// are given, the status line heard as it changes, and a whole update done
// with the keyboard alone.

#include "window_fixture.h"

#include "controls/win32/entry_operations.h"

#include <oleacc.h>

namespace {

const std::string kSuccess = "Firmware update successful! Please reset the board.";

// What the system's accessible object of the window says its name is.
std::wstring NameAReaderHears(HWND window)
{
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object));
    VARIANT self{};
    self.vt = VT_I4;  // CHILDID_SELF
    BSTR name = nullptr;
    if (object)
        object->get_accName(self, &name);
    std::wstring text = name ? name : L"";
    SysFreeString(name);
    if (object)
        object->Release();
    return text;
}

class Accessibility : public WindowFixture {
protected:
    Accessibility()
    {
        onAccessibleProperty = [this](const GivenProperty& given) { properties.push_back(given); };
    }

    // What `control` was given as `property`; no control when nothing.
    GivenProperty Given(Control control, const GUID& property) const
    {
        for (const GivenProperty& given : properties)
            if (given.control == Window(control) && IsEqualGUID(given.property, property))
                return given;
        return GivenProperty{nullptr, property, L"", 0, S_FALSE};
    }

    std::vector<GivenProperty> properties;
};

// Empty texts and zero numbers: nothing given.
const struct {
    Control control;
    std::wstring name;
    std::wstring descriptionOpening;
    LONG role;
    LONG state;
} kExpected[] = {
    {Control::macBox0, L"MAC address byte 1 of 8", L"Fixed", 0, 0},
    {Control::macBox3, L"MAC address byte 4 of 8", L"Two hexadecimal digits", 0, 0},
    {Control::portList, L"Board port", L"The serial port", 0, 0},
    {Control::progressBar, L"Update progress", L"", 0, 0},
    {Control::noProbePicture, L"No J-Link detected", L"", ROLE_SYSTEM_GRAPHIC, 0},
    {Control::instructionsPicture, L"Press the RESET switch on the board.", L"Loading begins",
     ROLE_SYSTEM_GRAPHIC, 0},
    {Control::resultBannerPicture, L"", L"", 0, STATE_SYSTEM_INVISIBLE},
    {Control::updateButton, L"", L"", 0, 0},
    {Control::jlinkRadio, L"", L"", 0, 0},
};

TEST_F(Accessibility, ControlsAreAnnotatedWithWhatAReaderShouldSay)
{
    OpenOnFolder({"firmware.bin"});
    for (const auto& expected : kExpected) {
        SCOPED_TRACE("control " + std::to_string(static_cast<int>(expected.control)));
        const GivenProperty name = Given(expected.control, PROPID_ACC_NAME);
        EXPECT_EQ(name.text, expected.name);
        const std::wstring description = Given(expected.control, PROPID_ACC_DESCRIPTION).text;
        EXPECT_EQ(description.substr(0, expected.descriptionOpening.size()),
                  expected.descriptionOpening);
        EXPECT_EQ(description.empty(), expected.descriptionOpening.empty());
        EXPECT_EQ(Given(expected.control, PROPID_ACC_ROLE).number, expected.role);
        EXPECT_EQ(Given(expected.control, PROPID_ACC_STATE).number, expected.state);
        // Wine's annotation service answers E_NOTIMPL to all; where the
        // service takes the name, the system's reader must say it.
        if (name.answer == S_OK) {
            EXPECT_EQ(NameAReaderHears(Window(expected.control)), expected.name);
        } else if (name.control) {
            EXPECT_EQ(name.answer, E_NOTIMPL);
        }
    }
}

// The status label's texts as a reader outside the program heard them
// change: the hook's events arrive through the message loop.
std::vector<std::string>* heardStatus = nullptr;
HWND statusWindow = nullptr;

void CALLBACK HearNameChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                             DWORD)
{
    if (heardStatus && window == statusWindow && object == OBJID_CLIENT && child == CHILDID_SELF)
        heardStatus->push_back(WindowText(window));
}

TEST_F(Accessibility, AReaderHearsTheStatusLineChangeDuringAnUpdate)
{
    OpenOnDemo();
    std::vector<std::string> heard;
    heardStatus = &heard;
    statusWindow = Window(Control::statusLabel);
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, HearNameChange,
                        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    Click(Control::updateButton);
    EXPECT_TRUE(WaitForStatus(kSuccess));
    PumpUntil([&] { return !heard.empty() && heard.back() == kSuccess; }, std::chrono::seconds(2));
    UnhookWinEvent(hook);
    heardStatus = nullptr;
    ASSERT_GE(heard.size(), 2u) << "the status line's changes were not announced";
    EXPECT_EQ(heard.back(), kSuccess);
}

TEST_F(Accessibility, TheRadioPairIsOneTabStopWithinWhichTheArrowsMove)
{
    // With the demo board "Update Firmware" is enabled and the port list,
    // with one port only, hidden: the radio pair lies between two stops.
    OpenOnDemo();
    ASSERT_TRUE(TabTo(Control::macBox7));
    std::vector<HWND> path;
    for (int k = 0; k < 3 && GetFocus() != Window(Control::updateButton); ++k) {
        PressKey(VK_TAB);
        path.push_back(GetFocus());
    }
    const std::vector<HWND> onePairStop{Window(Control::usbRadio), Window(Control::updateButton)};
    EXPECT_EQ(path, onePairStop);

    ASSERT_TRUE(TabTo(Control::usbRadio));
    for (const auto& [key, control] : {std::pair{VK_DOWN, Control::jlinkRadio},
                                       std::pair{VK_DOWN, Control::usbRadio},
                                       std::pair{VK_UP, Control::jlinkRadio}}) {
        PressKey(key);
        EXPECT_EQ(GetFocus(), Window(control)) << "after key " << key;
        EXPECT_TRUE(dialog->IsChecked(control));
    }
}

TEST_F(Accessibility, AWholeUpdateWithTheKeyboardAlone)
{
    OpenOnDemo();
    ASSERT_TRUE(TabTo(Control::macBox3));
    Type("123456789A");
    ASSERT_TRUE(TabTo(Control::updateButton));
    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitForStatus(kSuccess));
    ASSERT_TRUE(TabTo(Control::closeButton));
    PressKey(VK_RETURN);
    EXPECT_TRUE(dialog->Ended());
    EXPECT_TRUE(BoardHoldsTheDemoImage("0050C2123456789A"));
}

}  // namespace
