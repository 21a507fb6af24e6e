// The setup page as the monitors and the user change it: boards, probe,
// radios, the port list and the image.

#include "dialog_harness.h"
#include "wizard/dialog_texts.h"

namespace {

using Ports = std::vector<std::string>;

TEST_F(DialogTest, OpeningStartsTheMonitorsBeforeThePagesAreBuiltAndShowsTheSetupPage)
{
    Open();
    EXPECT_EQ(services.calls,
              (std::vector<std::string>{"start image monitor", "start board monitors", "build pages"}));
    EXPECT_EQ(ui.page, Page::setup);
    EXPECT_EQ(ui.focus, Control::browseButton);
    EXPECT_FALSE(ui[Control::defaultFileButton].enabled);
    EXPECT_FALSE(ui[Control::probePicture].shown);
    EXPECT_FALSE(ui[Control::noProbePicture].shown);
}

TEST_F(DialogTest, AChangeDeliveredBeforeThePagesExistChangesNothing)
{
    services.ports = {"ttyUSB0"};
    const std::string before = ui[Control::boardStatusLabel].text;
    logic.HandleMessage(WM_COMPORTS_CHANGED, 0, 0);
    EXPECT_EQ(ui[Control::boardStatusLabel].text, before);
    Open();
    EXPECT_EQ(ui[Control::boardStatusLabel].text, "Board on ttyUSB0");
}

struct BoardStateCase {
    const char* name;
    Ports ports;
    std::string boardText;
    ColorRef boardColor;
    bool listShown;
    Ports entries;
    std::string selected;
    bool updateEnabled;
};

void PrintTo(const BoardStateCase& c, std::ostream* os) { *os << c.name; }

class BoardStateAtOpening : public DialogTestWithParam<BoardStateCase> {};

TEST_P(BoardStateAtOpening, FollowsThePortList)
{
    const BoardStateCase& c = GetParam();
    services.ports = c.ports;
    Open();
    EXPECT_EQ(ui[Control::portList].shown, c.listShown);
    EXPECT_EQ(ui[Control::boardStatusLabel].shown, !c.listShown);
    if (!c.listShown) {
        EXPECT_EQ(ui[Control::boardStatusLabel].text, c.boardText);
        EXPECT_EQ(ui[Control::boardStatusLabel].color, c.boardColor);
    }
    EXPECT_EQ(ui.portEntries, c.entries);
    EXPECT_EQ(ui.PortListSelectedText(), c.selected);
    EXPECT_EQ(ui[Control::updateButton].enabled, c.updateEnabled);
    EXPECT_EQ(ui[Control::boardPicture].shown, !c.ports.empty());
    EXPECT_EQ(ui[Control::noBoardPicture].shown, c.ports.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Ports, BoardStateAtOpening,
    ::testing::Values(
        BoardStateCase{"none", {}, "No board detected", kRed, false, {}, "", false},
        BoardStateCase{"one", {"ttyUSB4"}, "Board on ttyUSB4", kGreen, false, {}, "", true},
        BoardStateCase{"two", {"ttyUSB3", "ttyACM0"}, "", 0, true,
                       {"Board on ttyUSB3", "Board on ttyACM0"}, "Board on ttyUSB3", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, ImageLabelShowsTheFolderImageOrSaysThereIsNoneInRed)
{
    services.image.reset();
    Open();
    EXPECT_EQ(ui[Control::imageLabel].text, std::string(kNoImageText) + "\n/opt/q");
    EXPECT_EQ(ui[Control::imageLabel].color, kRed);

    services.image = services.folderImage;
    logic.HandleMessage(WM_BINFILES_CHANGED, 0, 0);
    EXPECT_EQ(ui[Control::imageLabel].text, "fw_2.bin");
    EXPECT_EQ(ui[Control::imageLabel].color, kBlack);
}

struct RefillCase {
    const char* name;
    Ports before;
    std::string chosen;  // empty: the user chose nothing
    Ports after;
    std::string selected;
};

void PrintTo(const RefillCase& c, std::ostream* os) { *os << c.name; }

class PortListRefill : public DialogTestWithParam<RefillCase> {};

TEST_P(PortListRefill, KeepsExactlyTheBoardTheUserChose)
{
    const RefillCase& c = GetParam();
    services.ports = c.before;
    Open();
    if (!c.chosen.empty())
        ChoosePort(c.chosen);
    PortsChange(c.after);
    EXPECT_EQ(ui.PortListSelectedText(), c.selected);
    EXPECT_EQ(logic.LastPortSelection(), c.chosen) << "a refill is not the user's choice";
}

INSTANTIATE_TEST_SUITE_P(
    Choices, PortListRefill,
    ::testing::Values(
        RefillCase{"shorterNameIsNotMovedToLongerOne", {"ttyUSB1", "ttyUSB10"}, "Board on ttyUSB1",
                   {"ttyUSB1", "ttyUSB10", "ttyUSB2"}, "Board on ttyUSB1"},
        RefillCase{"chosenBehindALongerName", {"ttyUSB0", "ttyUSB1"}, "Board on ttyUSB1",
                   {"ttyUSB0", "ttyUSB10", "ttyUSB1"}, "Board on ttyUSB1"},
        RefillCase{"longerNameKept", {"ttyUSB1", "ttyUSB10"}, "Board on ttyUSB10",
                   {"ttyUSB1", "ttyUSB10"}, "Board on ttyUSB10"},
        RefillCase{"nothingChosenSelectsFirst", {"ttyUSB0", "ttyUSB1"}, "",
                   {"ttyUSB0", "ttyUSB1", "ttyUSB2"}, "Board on ttyUSB0"},
        RefillCase{"chosenGoneSelectsFirst", {"ttyUSB3", "ttyUSB5"}, "Board on ttyUSB3",
                   {"ttyUSB5", "ttyUSB7"}, "Board on ttyUSB5"},
        RefillCase{"caseMatters", {"ttyUSB0", "ttyusb0"}, "Board on ttyusb0",
                   {"ttyUSB0", "ttyusb0"}, "Board on ttyusb0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, ChosenBoardComesBackSelectedAfterItWasAwhileAway)
{
    services.ports = {"ttyUSB3", "ttyUSB5"};
    Open();
    ChoosePort("Board on ttyUSB5");
    PortsChange({"ttyUSB3", "ttyUSB7"});
    PortsChange({"ttyUSB3", "ttyUSB7", "ttyUSB5"});
    EXPECT_EQ(ui.PortListSelectedText(), "Board on ttyUSB5");
}

TEST_F(DialogTest, UnpluggingTheLastBoardOnTheSetupPageShowsItAtOnce)
{
    services.ports = {"ttyUSB0", "ttyUSB1"};
    Open();
    PortsChange({"ttyUSB0"});
    EXPECT_EQ(ui[Control::boardStatusLabel].text, "Board on ttyUSB0");
    EXPECT_EQ(ui[Control::boardStatusLabel].color, kGreen);
    EXPECT_FALSE(ui[Control::portList].shown);

    const int setupShows = PagesShown(Page::setup);
    PortsChange({});
    EXPECT_EQ(ui[Control::boardStatusLabel].text, "No board detected");
    EXPECT_EQ(ui[Control::boardStatusLabel].color, kRed);
    EXPECT_FALSE(ui[Control::boardPicture].shown);
    EXPECT_TRUE(ui[Control::noBoardPicture].shown);
    EXPECT_FALSE(ui[Control::updateButton].enabled);
    EXPECT_EQ(PagesShown(Page::setup), setupShows + 1) << "flags take effect only when shown";
}

TEST_F(DialogTest, PortChangeOnTheResultPageWaitsForTheWayBack)
{
    services.ports = {"ttyUSB0"};
    Open();
    logic.HandleCommand(1);
    const int setupShows = PagesShown(Page::setup);
    PortsChange({});
    EXPECT_EQ(ui.page, Page::result);
    EXPECT_EQ(PagesShown(Page::setup), setupShows);
    EXPECT_TRUE(ui[Control::noBoardPicture].shown);
    logic.RunAction(Action::back);
    EXPECT_EQ(ui.page, Page::setup);
}

TEST_F(DialogTest, RadiosMakeTheBoardStateFollowTheChosenConnection)
{
    services.ports = {"ttyUSB0", "ttyUSB1"};
    Open();

    ClickRadio(Control::jlinkRadio);
    EXPECT_EQ(ui[Control::boardStatusLabel].text, "No J-Link detected");
    EXPECT_EQ(ui[Control::boardStatusLabel].color, kRed);
    EXPECT_TRUE(ui[Control::boardStatusLabel].shown);
    EXPECT_FALSE(ui[Control::portList].shown);
    EXPECT_FALSE(ui[Control::updateButton].enabled) << "boards do not count for J-Link";
    EXPECT_TRUE(ui[Control::noProbePicture].shown);
    EXPECT_FALSE(ui[Control::boardPicture].shown);

    PortsChange({"ttyUSB0"});
    EXPECT_EQ(ui[Control::boardStatusLabel].text, "No J-Link detected") << "USB not chosen";

    ProbeChange(true);
    EXPECT_EQ(ui[Control::boardStatusLabel].text, "J-Link is active");
    EXPECT_EQ(ui[Control::boardStatusLabel].color, kGreen);
    EXPECT_TRUE(ui[Control::updateButton].enabled);
    EXPECT_TRUE(ui[Control::probePicture].shown);
    EXPECT_FALSE(ui[Control::noProbePicture].shown);

    ClickRadio(Control::usbRadio);
    EXPECT_EQ(ui[Control::boardStatusLabel].text, "Board on ttyUSB0");
    EXPECT_EQ(ui[Control::boardStatusLabel].color, kGreen);
    EXPECT_TRUE(ui[Control::boardPicture].shown);
    EXPECT_FALSE(ui[Control::probePicture].shown);
    EXPECT_TRUE(ui[Control::updateButton].enabled);

    services.probe = false;
    ProbeChange(false);
    EXPECT_TRUE(ui[Control::updateButton].enabled) << "probe ignored while USB is chosen";
}

TEST_F(DialogTest, BrowseAndDefaultFileSwitchTheImageAndTheDefaultButton)
{
    Open();
    logic.RunAction(Action::browse);  // cancelled
    ASSERT_TRUE(ui.lastQuestion);
    EXPECT_EQ(ui.lastQuestion->title, "Open Image File..");
    EXPECT_EQ(ui.lastQuestion->filters.front().patterns.front(), "*.bin");
    EXPECT_EQ(ui.lastQuestion->defaultExtension, "bin");
    EXPECT_FALSE(ui[Control::defaultFileButton].enabled);

    ui.openFileAnswer = "/home/user/images/fw.bin";
    logic.RunAction(Action::browse);
    EXPECT_TRUE(ui[Control::defaultFileButton].enabled);
    logic.HandleMessage(WM_BINFILES_CHANGED, 0, 0);
    EXPECT_EQ(ui[Control::imageLabel].text, "/home/user/images/fw.bin");

    logic.RunAction(Action::defaultFile);
    EXPECT_FALSE(ui[Control::defaultFileButton].enabled);
    logic.HandleMessage(WM_BINFILES_CHANGED, 0, 0);
    EXPECT_EQ(ui[Control::imageLabel].text, "fw_2.bin");
    EXPECT_EQ(services.calls.back(), "reset to folder");
    EXPECT_EQ(std::count(services.calls.begin(), services.calls.end(),
                         "browsed /home/user/images/fw.bin"),
              1);
}

struct StartFolderCase {
    const char* name;
    std::optional<CBinFile> image;
    std::string folder;
};

void PrintTo(const StartFolderCase& c, std::ostream* os) { *os << c.name; }

class BrowseStartFolder : public DialogTestWithParam<StartFolderCase> {};

TEST_P(BrowseStartFolder, IsTheCurrentImagesFolderElseTheImageFolder)
{
    services.imageFolder = "/srv/images";
    services.image = GetParam().image;
    Open();
    logic.RunAction(Action::browse);
    ASSERT_TRUE(ui.lastQuestion);
    EXPECT_EQ(ui.lastQuestion->startFolder, GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrowseStartFolder,
    testing::Values(
        StartFolderCase{"FolderImage", CBinFile{CBinFile::FolderFile, "/opt/q/fw_2.bin", "fw_2.bin"},
                        "/opt/q"},
        StartFolderCase{"BrowsedImage",
                        CBinFile{CBinFile::BrowsedFile, "/home/user/images/fw.s19", "fw.s19"},
                        "/home/user/images"},
        StartFolderCase{"NoImage", std::nullopt, "/srv/images"}),
    [](const testing::TestParamInfo<StartFolderCase>& info) { return std::string(info.param.name); });

TEST_F(DialogTest, ImageChangesLeaveTheUpdateButtonAlone)
{
    Open();  // no board: disabled
    services.image.reset();
    logic.HandleMessage(WM_BINFILES_CHANGED, 0, 0);
    services.image = services.folderImage;
    logic.HandleMessage(WM_BINFILES_CHANGED, 0, 0);
    EXPECT_FALSE(ui[Control::updateButton].enabled);
}

}  // namespace
