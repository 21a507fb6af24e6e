// The two pages as the Windows window builds them from the page tables:
// places, sizes, styles, identifiers, texts and fonts, and the first display.

#include "window_fixture.h"

#include "controls/win32/shared_fonts.h"
#include "platform/win32/wide_text.h"
#include "shell/win32/window_frame.h"
#include "shell/win32/window_message_box.h"
#include "wizard/dialog_texts.h"
#include "wizard/page_tables.h"

#include <map>

namespace {

// The place of a control in its dialog's client area.
RECT PlaceInDialog(HWND control)
{
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

Extent ExpectedSize(const PageEntry& entry)
{
    if (entry.size || entry.kind != ControlKind::picture)
        return WindowSize(entry);
    for (const PictureResource& picture : PictureResources())
        if (picture.number == entry.picture)
            return picture.pixels;
    return WindowSize(entry);
}

// Texts the logic writes before the first display.
bool TextSetByTheLogic(Control control)
{
    return control == Control::imageLabel || control == Control::boardStatusLabel ||
           control == Control::statusLabel;
}

// The style bits a control keeps: an edit control draws the border itself and
// takes WS_BORDER off its style; of the radio buttons only the checked one
// is a tab stop.
std::uint32_t KeptStyle(const PageEntry& entry)
{
    const std::uint32_t style = TraitsOf(entry.kind).style;
    if (entry.kind == ControlKind::macBox)
        return style & ~static_cast<std::uint32_t>(WS_BORDER);
    if (entry.kind == ControlKind::radio && !entry.checked)
        return style & ~static_cast<std::uint32_t>(WS_TABSTOP);
    return style;
}

using Pages = WindowFixture;

TEST_F(Pages, EveryControlIsBuiltAsItsTableEntrySays)
{
    OpenOnFolder({"firmware.bin"});
    std::map<Control, int> identifiers;
    for (const ControlIdentifier& numbered : ControlIdentifiers())
        identifiers[numbered.control] = numbered.identifier;
    for (const PageTable* table : {&SetupPageTable(), &ResultPageTable()}) {
        for (const PageEntry& entry : table->entries) {
            SCOPED_TRACE("control " + std::to_string(static_cast<int>(entry.control)));
            const HWND control = Window(entry.control);
            ASSERT_NE(control, nullptr);
            const RECT place = PlaceInDialog(control);
            EXPECT_EQ(place.left, entry.position.x);
            EXPECT_EQ(place.top, entry.position.y);
            const Extent size = ExpectedSize(entry);
            EXPECT_EQ(place.right - place.left, size.width);
            // A closed drop-down list is as high as its font makes it.
            if (entry.kind != ControlKind::portList) {
                EXPECT_EQ(place.bottom - place.top, size.height);
            }
            const auto style = static_cast<std::uint32_t>(GetWindowLongW(control, GWL_STYLE));
            const std::uint32_t kindStyle = KeptStyle(entry);
            EXPECT_EQ(style & kindStyle, kindStyle) << std::hex << style;
            EXPECT_EQ(GetDlgCtrlID(control) & 0xFFFF, identifiers[entry.control]);
            // Without a board the logic disables "Update Firmware" at once.
            if (entry.control != Control::updateButton) {
                EXPECT_EQ(IsWindowEnabled(control) == FALSE, entry.disabled);
            }
            if (!entry.text.empty() && !TextSetByTheLogic(entry.control)) {
                EXPECT_EQ(Text(entry.control), entry.text);
            }
            if (entry.font) {
                EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                          SharedFont(*entry.font));
            }
        }
    }
}

TEST_F(Pages, TheWindowIsAWhiteDialogOfItsSizeWithCaptionAndIcon)
{
    OpenOnFolder({"firmware.bin"});
    const HWND window = dialog->Handle();
    RECT frame;
    GetWindowRect(window, &frame);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, kClientSize.width);
    EXPECT_EQ(client.bottom, kClientSize.height);
    // The frame is the one the system gives these styles, caption included.
    const Extent outer = OuterSizeForClient(kClientSize, GetWindowLongW(window, GWL_STYLE),
                                            GetWindowLongW(window, GWL_EXSTYLE), WindowDpi(window));
    EXPECT_EQ(frame.right - frame.left, outer.width);
    EXPECT_EQ(frame.bottom - frame.top, outer.height);
    EXPECT_GE(outer.height - kClientSize.height, GetSystemMetrics(SM_CYCAPTION));
    wchar_t caption[100] = {};
    GetWindowTextW(window, caption, 100);
    EXPECT_EQ(Narrow(caption), kDialogCaption);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

// The port monitor fails while the window starts; its box comes once the
// pages are built, owned by the window.
TEST_F(Pages, AMessageBoxRaisedDuringStartUpIsOwnedByTheWindow)
{
    std::vector<std::pair<HWND, std::string>> shown;
    CWindowMessageBoxSink windowBoxes([&](HWND owner, const wchar_t* text, const wchar_t*, UINT) {
        shown.emplace_back(owner, Narrow(text));
        return IDOK;
    });
    messageBox = &windowBoxes;
    onWindowCreated = [&](HWND window) { windowBoxes.SetOwner(window); };
    ports.refuseOpen = true;
    OpenOnFolder({"firmware.bin"});

    dialog->messageBox = &boxes;  // the window outlives this box
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, dialog->Handle());
    EXPECT_EQ(shown[0].second, "Error in RegOpenKeyExW");
}

TEST_F(Pages, SetupPageOpensWithTheFolderImageAndNoBoard)
{
    OpenOnFolder({"firmware.bin"});
    EXPECT_EQ(Text(Control::imageLabel), "firmware.bin");
    EXPECT_EQ(SendMessageW(Window(Control::usbRadio), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Text(Control::boardStatusLabel), "No board detected");
    EXPECT_TRUE(Visible(Control::noBoardPicture));
    for (Control hidden : {Control::boardPicture, Control::probePicture, Control::noProbePicture,
                           Control::portList, Control::statusLabel, Control::progressBar})
        EXPECT_FALSE(Visible(hidden)) << static_cast<int>(hidden);
    EXPECT_FALSE(Enabled(Control::updateButton));
    EXPECT_EQ(GetFocus(), Window(Control::browseButton));
}

TEST_F(Pages, BoardsComingAndGoingAndTheJLinkRadio)
{
    OpenOnFolder({"firmware.bin"});
    ports.AddExtraPort("COM5");
    ASSERT_TRUE(PumpUntil([&] { return Text(Control::boardStatusLabel) == "Board on COM5"; }));
    EXPECT_TRUE(Visible(Control::boardPicture));
    EXPECT_TRUE(Enabled(Control::updateButton));

    ports.AddExtraPort("COM10");
    ASSERT_TRUE(PumpUntil([&] { return Visible(Control::portList); }));
    EXPECT_FALSE(Visible(Control::boardStatusLabel));
    EXPECT_EQ(SendMessageW(Window(Control::portList), CB_GETCOUNT, 0, 0), 2);
    Screenshot("setup_page_two_boards");

    Click(Control::jlinkRadio);
    EXPECT_EQ(Text(Control::boardStatusLabel), "No J-Link detected");
    EXPECT_TRUE(Visible(Control::noProbePicture));
    EXPECT_FALSE(Visible(Control::portList));
    EXPECT_FALSE(Enabled(Control::updateButton));
    Click(Control::usbRadio);
    EXPECT_TRUE(Visible(Control::portList));
    EXPECT_FALSE(Visible(Control::noProbePicture));
}

}  // namespace
