// "Update Firmware", the job's reports on the result page, and the ways back.

#include "dialog_harness.h"
#include "job/message_queue.h"
#include "wizard/dialog_texts.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Ports = std::vector<std::string>;
const std::array<std::string, 8> kTypedMac{"00", "50", "C2", "12", "34", "56", "78", "9A"};

struct StartCase {
    const char* name;
    Ports ports;          // at opening
    Control radio;
    std::string chosen;   // port entry chosen by the user, if any
    Ports portsAtClick;   // the monitor's list when the button is pressed
    std::string kind;
    std::string port;
};

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class UpdateStartsJob : public DialogTestWithParam<StartCase> {};

TEST_P(UpdateStartsJob, OnTheChosenConnectionWithTheJoinedMac)
{
    const StartCase& c = GetParam();
    services.ports = c.ports;
    services.probe = true;
    Open();
    if (c.radio != Control::usbRadio)
        ClickRadio(c.radio);
    if (!c.chosen.empty())
        ChoosePort(c.chosen);
    services.ports = c.portsAtClick;
    ui.TypeMac(kTypedMac);

    logic.RunAction(Action::updateFirmware);

    ASSERT_EQ(services.starts.size(), 1u);
    EXPECT_EQ(services.starts[0].kind, c.kind);
    EXPECT_EQ(services.starts[0].port, c.port);
    EXPECT_EQ(services.starts[0].mac, "0050C2123456789A");
    EXPECT_EQ(services.starts[0].entry, *services.folderImage);
    EXPECT_EQ(ui.page, Page::result);
    EXPECT_FALSE(ui[Control::closeButton].enabled);
    EXPECT_FALSE(ui[Control::backButton].enabled);
    EXPECT_FALSE(ui[Control::instructionsPicture].shown);
    EXPECT_EQ(ui[Control::statusLabel].text, "") << "no outcome until it reports";
    EXPECT_EQ(ui.progress, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Connections, UpdateStartsJob,
    ::testing::Values(
        StartCase{"secondOfTwo", {"ttyUSB3", "ttyUSB5"}, Control::usbRadio, "Board on ttyUSB5",
                  {"ttyUSB3", "ttyUSB5"}, "serial", "ttyUSB5"},
        StartCase{"chosenStillThereAmongNewOnes", {"ttyUSB3", "ttyUSB5"}, Control::usbRadio,
                  "Board on ttyUSB5", {"ttyUSB1", "ttyUSB5", "ttyUSB7"}, "serial", "ttyUSB5"},
        StartCase{"onlyPort", {"ttyUSB3"}, Control::usbRadio, "", {"ttyUSB3"}, "serial", "ttyUSB3"},
        StartCase{"prefixIsNotAMatch", {"ttyUSB1", "ttyUSB10"}, Control::usbRadio,
                  "Board on ttyUSB10", {"ttyUSB1", "ttyUSB10"}, "serial", "ttyUSB10"},
        StartCase{"jlink", {"ttyUSB3"}, Control::jlinkRadio, "", {"ttyUSB3"}, "jlink", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    bool image;
    Ports portsAtClick;
    Control radio;
    bool imageLoads;
    std::string text;
    std::size_t starts;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class UpdateThatCannotRun : public DialogTestWithParam<RefusalCase> {};

TEST_P(UpdateThatCannotRun, SaysWhyInRedAndLetsTheUserLeave)
{
    const RefusalCase& c = GetParam();
    services.ports = {"ttyUSB0"};
    services.probe = true;
    Open();
    if (c.radio != Control::usbRadio)
        ClickRadio(c.radio);
    if (!c.image)
        services.image.reset();
    services.imageLoads = c.imageLoads;
    services.ports = c.portsAtClick;

    logic.RunAction(Action::updateFirmware);

    EXPECT_EQ(services.starts.size(), c.starts);
    EXPECT_FALSE(services.HasSerialJob());
    EXPECT_EQ(ui.page, Page::result);
    EXPECT_EQ(ui[Control::statusLabel].text, c.text);
    EXPECT_EQ(ui[Control::statusLabel].color, kRed);
    EXPECT_TRUE(ui[Control::closeButton].enabled);
    EXPECT_TRUE(ui[Control::backButton].enabled);
    EXPECT_FALSE(ui[Control::instructionsPicture].shown);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, UpdateThatCannotRun,
    ::testing::Values(
        RefusalCase{"noImage", false, {"ttyUSB0"}, Control::usbRadio, true,
                    std::string(kNoImageReason), 0},
        RefusalCase{"noImageJLink", false, {}, Control::jlinkRadio, true,
                    std::string(kNoImageReason), 0},
        RefusalCase{"lastPortGoneBeforeItsMessage", true, {}, Control::usbRadio, true,
                    std::string(kNoBoardReason), 0},
        RefusalCase{"serialImageDoesNotLoad", true, {"ttyUSB0"}, Control::usbRadio, false,
                    "Could not read/open file", 1},
        RefusalCase{"jlinkImageDoesNotLoad", true, {}, Control::jlinkRadio, false,
                    "Could not read/open file", 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadMacCase {
    const char* name;
    std::array<std::string, 8> boxes;
    Control focus;
};

void PrintTo(const BadMacCase& c, std::ostream* os) { *os << c.name; }

class UpdateWithBadMac : public DialogTestWithParam<BadMacCase> {};

TEST_P(UpdateWithBadMac, IsRefusedOnTheSetupPageBeforeAnyJob)
{
    const BadMacCase& c = GetParam();
    services.ports = {"ttyUSB0"};
    Open();
    ui.TypeMac(c.boxes);

    logic.RunAction(Action::updateFirmware);

    EXPECT_TRUE(services.starts.empty());
    EXPECT_EQ(ui.page, Page::setup);
    EXPECT_EQ(ui.messageBoxes, std::vector<std::string>{std::string(kInvalidMacMessage)});
    EXPECT_EQ(ui.focus, c.focus);
    EXPECT_TRUE(ui[Control::closeButton].enabled);
    EXPECT_TRUE(ui[Control::backButton].enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UpdateWithBadMac,
    ::testing::Values(
        BadMacCase{"oneDigit", {"00", "50", "C2", "12", "3", "56", "78", "9A"}, Control::macBox4},
        BadMacCase{"empty", {"00", "50", "C2", "12", "34", "56", "78", ""}, Control::macBox7},
        BadMacCase{"notHex", {"00", "50", "C2", "G1", "34", "56", "78", "9A"}, Control::macBox3},
        BadMacCase{"pastedSpace", {"00", "50", "C2", "12", " 4", "56", "78", "9A"}, Control::macBox4},
        BadMacCase{"threeAndOne", {"00", "50", "C2", "123", "4", "56", "78", "9A"}, Control::macBox3}),
    [](const auto& info) { return std::string(info.param.name); });

struct StatusCase {
    const char* name;
    std::vector<std::int32_t> codes;
    bool buttons;
    bool instructions;
    int resultShows;  // re-shows of the result page the codes caused
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class JobStatus : public DialogTestWithParam<StatusCase> {};

// The last status's text and color show; the buttons and the picture follow
// the effects of every status in turn.
TEST_P(JobStatus, SetsTextColorButtonsAndInstructions)
{
    const StatusCase& c = GetParam();
    Open();
    logic.HandleCommand(1);  // on the result page, buttons enabled, no picture
    const int before = PagesShown(Page::result);
    for (std::int32_t code : c.codes)
        Status(code);
    const StatusRow& last = LookupStatus(c.codes.back());
    EXPECT_EQ(ui[Control::statusLabel].text, last.text);
    EXPECT_EQ(ui[Control::statusLabel].color, LookOfStatus(last).color);
    EXPECT_EQ(ui[Control::closeButton].enabled, c.buttons);
    EXPECT_EQ(ui[Control::backButton].enabled, c.buttons);
    EXPECT_EQ(ui[Control::instructionsPicture].shown, c.instructions);
    EXPECT_EQ(PagesShown(Page::result) - before, c.resultShows);
}

constexpr std::int32_t kOpening = kStatusOpeningPort;
constexpr std::int32_t kWaitingForReset = kStatusWaitingForReset;
// Codes no status has: the table's gap, zero, beyond the table, negative.
constexpr std::int32_t kInTheGap = 17;
constexpr std::int32_t kZero = 0;
constexpr std::int32_t kBeyond = 99;
constexpr std::int32_t kNegative = -1;

INSTANTIATE_TEST_SUITE_P(
    Codes, JobStatus,
    ::testing::Values(
        StatusCase{"success", {kOpening, kStatusProgrammingFlash, kStatusSuccess}, true, false, 0},
        StatusCase{"waiting", {kOpening, kStatusPortOpened, kWaitingForReset}, true, true, 1},
        StatusCase{"waitingThenConnected", {kWaitingForReset, kWaitingForReset, kStatusConnected},
                   false, false, 2},
        StatusCase{"reconnectedKeepsPicture", {kStatusDisconnected, kStatusReconnected}, false,
                   true, 1},
        StatusCase{"openFailed", {kOpening, kStatusOpenFailed}, true, false, 0},
        StatusCase{"unassignedInTheGap", {kWaitingForReset, kInTheGap}, true, true, 1},
        StatusCase{"unassignedZero", {kOpening, kZero}, false, false, 0},
        StatusCase{"unassignedBeyond", {kWaitingForReset, kBeyond}, true, true, 1},
        StatusCase{"negative", {kStatusProgrammingFailed, kNegative}, true, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, RepeatedStatusChangesNothingVisible)
{
    Open();
    logic.HandleCommand(1);
    Status(kStatusProgrammingFlash);
    const int texts = ui[Control::statusLabel].textSets;
    const int colors = ui[Control::statusLabel].colorSets;
    const int redraws = ui.redraws;
    Status(kStatusProgrammingFlash);
    EXPECT_EQ(ui[Control::statusLabel].textSets, texts);
    EXPECT_EQ(ui[Control::statusLabel].colorSets, colors);
    EXPECT_EQ(ui.redraws, redraws);
}

TEST_F(DialogTest, InstructionsChangedOnTheSetupPageDoNotSwitchPages)
{
    Open();
    Status(kStatusWaitingForReset);
    EXPECT_TRUE(ui[Control::instructionsPicture].shown);
    EXPECT_EQ(ui.page, Page::setup);
    EXPECT_EQ(PagesShown(Page::result), 0);
}

TEST_F(DialogTest, ProgressMovesTheBarWithinItsRange)
{
    Open();
    logic.HandleMessage(WM_JOB_PROGRESS, 100, 12345);
    EXPECT_EQ(ui.progress, 100);
    logic.HandleMessage(WM_JOB_PROGRESS, 37, 0);
    EXPECT_EQ(ui.progress, 37);
    logic.HandleMessage(WM_JOB_PROGRESS, 250, 0);
    EXPECT_EQ(ui.progress, 100);
}

// The result page never shows an outcome that belongs to no job.
TEST_F(DialogTest, ASecondUpdateStartsFromAnEmptyResultPage)
{
    services.ports = {"ttyUSB0"};
    Open();
    logic.RunAction(Action::updateFirmware);
    logic.HandleMessage(WM_JOB_PROGRESS, 100, 0);
    Status(kStatusSuccess);
    logic.RunAction(Action::back);
    logic.HandleCommand(1);  // Enter on the setup page
    EXPECT_EQ(ui[Control::statusLabel].text, "");
    EXPECT_EQ(ui.progress, 0);
    logic.HandleCommand(3);
    logic.RunAction(Action::updateFirmware);
    EXPECT_EQ(services.starts.size(), 2u);
    EXPECT_EQ(ui.progress, 0);
    EXPECT_EQ(ui[Control::statusLabel].text, "");
    EXPECT_FALSE(ui[Control::backButton].enabled);
}

// With neither connection chosen nothing starts, and the user can leave.
TEST_F(DialogTest, WithNeitherConnectionNoJobStartsAndTheButtonsStayUsable)
{
    services.ports = {"ttyUSB0"};
    Open();
    ui[Control::usbRadio].checked = false;
    ui[Control::jlinkRadio].checked = false;
    logic.RunAction(Action::updateFirmware);
    EXPECT_TRUE(services.starts.empty());
    EXPECT_TRUE(ui[Control::closeButton].enabled);
    EXPECT_TRUE(ui[Control::backButton].enabled);
}

// Another board would be given the MAC address meant for the chosen one.
TEST_F(DialogTest, AChosenBoardThatHasGoneIsNotReplacedByAnother)
{
    const std::vector<std::pair<Ports, Ports>> cases{{{"ttyUSB3", "ttyUSB5"}, {"ttyUSB3", "ttyUSB7"}},
                                                     {{"ttyUSB5"}, {"ttyUSB7"}}};
    for (const auto& [shown, atClick] : cases) {
        DialogHarness dialog;
        dialog.services.ports = shown;
        dialog.Open();
        if (shown.size() > 1)
            dialog.ChoosePort("Board on ttyUSB5");
        dialog.services.ports = atClick;
        dialog.ui.TypeMac(kTypedMac);
        dialog.logic.RunAction(Action::updateFirmware);
        EXPECT_TRUE(dialog.services.starts.empty());
        EXPECT_EQ(dialog.ui[Control::statusLabel].text,
                  std::string(kChosenBoardGoneReason) + "Board on ttyUSB5");
        EXPECT_EQ(dialog.ui[Control::statusLabel].color, kRed);
        EXPECT_TRUE(dialog.ui[Control::backButton].enabled);
    }
}

// While a job has the board, no key or click may replace or abandon it.
TEST_F(DialogTest, AWorkingJobIsNeitherReplacedNorLeftWithoutAsking)
{
    services.ports = {"ttyUSB0"};
    Open();
    logic.RunAction(Action::updateFirmware);
    Status(kStatusProgrammingFlash);
    logic.RunAction(Action::updateFirmware);
    logic.RunAction(Action::back);
    EXPECT_EQ(services.starts.size(), 1u);
    EXPECT_EQ(ui.page, Page::result);
    EXPECT_FALSE(logic.EscapeEndsDialog());
    EXPECT_FALSE(logic.ConfirmClose());
    ui.yesAnswer = true;
    EXPECT_TRUE(logic.ConfirmClose());
    EXPECT_EQ(ui.questions, std::vector<std::string>(2, std::string(kQuitDuringJobQuestion)));

    Status(kStatusSuccess);
    EXPECT_TRUE(logic.EscapeEndsDialog());
    EXPECT_TRUE(logic.ConfirmClose());
    EXPECT_EQ(ui.questions.size(), 2u) << "no question once the job has ended";
}

TEST_F(DialogTest, EnterAndCommandThreeSwitchPagesWithoutJobs)
{
    services.ports = {"ttyUSB0"};
    Open();
    logic.HandleCommand(1);
    EXPECT_EQ(ui.page, Page::result);
    EXPECT_TRUE(ui[Control::backButton].enabled);
    logic.HandleCommand(3);
    EXPECT_EQ(ui.page, Page::setup);
    logic.HandleCommand(1);
    logic.RunAction(Action::back);
    EXPECT_EQ(ui.page, Page::setup);
    logic.HandleCommand(2);
    EXPECT_EQ(ui.page, Page::setup);
    EXPECT_TRUE(services.starts.empty());
    EXPECT_EQ(std::count(services.calls.begin(), services.calls.end(), "stop serial job"), 0);
}

TEST_F(DialogTest, CloseEndsTheDialogWithZero)
{
    Open();
    logic.RunAction(Action::close);
    EXPECT_EQ(ui.endResult, 0);
}

// A serial worker that keeps reporting "waiting for reset" by blocking sends
// until it is stopped; the stop delivers the dialog's pending sends while it
// waits, as the loader manager's does.
TEST_F(DialogTest, BackDeliversTheWorkersPendingStatusWhileItStopsTheJob)
{
    CMessageQueue dialog([this](unsigned m, WParam w, LParam l) { return logic.HandleMessage(m, w, l); });
    std::atomic<bool> stop{false};
    std::atomic<bool> ended{false};
    std::atomic<int> sent{0};
    std::thread worker;
    services.ports = {"ttyUSB0"};
    services.onStop = [&] {
        stop = true;
        while (!ended)
            dialog.DispatchFor(std::chrono::milliseconds(10));
        worker.join();
    };
    Open();
    logic.RunAction(Action::updateFirmware);
    worker = std::thread([&] {
        while (!stop) {
            record.code = kStatusWaitingForReset;
            dialog.Send(WM_JOB_STATUS, reinterpret_cast<WParam>(&record), 0);
            ++sent;
        }
        ended = true;
    });
    // The first report enables "<< Back", as it would for the user.
    while (sent == 0)
        dialog.DispatchFor(std::chrono::milliseconds(10));
    ASSERT_TRUE(ui[Control::backButton].enabled);

    logic.RunAction(Action::back);

    EXPECT_TRUE(ended);
    EXPECT_FALSE(services.HasSerialJob());
    EXPECT_EQ(ui.page, Page::setup);
    EXPECT_EQ(ui[Control::statusLabel].text, "") << "the stopped job's status is not left behind";
}

}  // namespace

namespace {

// What a stopping serial worker still reports while "<< Back" waits for it:
// the board greets (or comes back) just as the user leaves the result page.
struct LateReports {
    const char* name;
    std::vector<int> codes;
};

void PrintTo(const LateReports& c, std::ostream* os) { *os << c.name; }

class BackWhileTheBoardAnswers : public DialogTestWithParam<LateReports> {};

TEST_P(BackWhileTheBoardAnswers, LeavesNothingWorkingAndTheNextUpdateStarts)
{
    services.ports = {"ttyUSB0"};
    Open();
    logic.RunAction(Action::updateFirmware);
    Status(kStatusWaitingForReset);
    services.onStop = [&] {
        for (int code : GetParam().codes) {
            Status(code);
            logic.HandleMessage(WM_JOB_PROGRESS, 40, 0);
        }
    };
    ui.pagesShown.clear();

    logic.RunAction(Action::back);

    EXPECT_EQ(ui.pagesShown, std::vector<Page>{Page::setup}) << "no late status switched pages";
    EXPECT_EQ(ui[Control::statusLabel].text, "");
    EXPECT_EQ(ui.progress, 0);
    EXPECT_FALSE(ui[Control::instructionsPicture].shown);
    EXPECT_TRUE(ui[Control::closeButton].enabled);
    EXPECT_TRUE(ui[Control::backButton].enabled);
    EXPECT_TRUE(logic.EscapeEndsDialog());
    EXPECT_TRUE(logic.ConfirmClose());
    EXPECT_TRUE(ui.questions.empty());

    logic.RunAction(Action::updateFirmware);
    EXPECT_EQ(services.starts.size(), 2u);
    EXPECT_EQ(ui.page, Page::result);
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, BackWhileTheBoardAnswers,
    testing::Values(LateReports{"Greeting", {kStatusConnected, kStatusProgrammingBegins,
                                             kStatusSecondStageLoaderDownload}},
                    LateReports{"Reconnect", {kStatusDisconnected, kStatusReconnected}},
                    LateReports{"WaitingThenGreeting", {kStatusWaitingForReset, kStatusConnected}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
