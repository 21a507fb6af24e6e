// Whole updates through the window on the demo bench: the user's clicks and
// keys, the loader manager, the real jobs, the simulated board on its
// pseudo-terminal and the J-Link stand-in, and what each left in its flash.

#include "dialog_fixture.h"

#include "app/loader_manager.h"
#include "flash/flash_layout.h"
#include "jlink/tool_file_names.h"
#include "job/status_codes.h"
#include "job/status_table.h"
#include "platform/owned_folder.h"
#include "serial/serial_job.h"
#include "support/expected_flash.h"

#include <QApplication>
#include <QProgressBar>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

const QString kSuccess = "Firmware update successful! Please reset the board.";
const QString kWaiting =
    "Waiting for user to press the board reset switch or to erase the flash...";

class DemoUpdate : public DialogFixture {
protected:
    // Delivers the serial worker's reports until the one of the board's
    // greeting is on its way: the worker then waits for the window, as it
    // does when the user's click comes first.
    bool HoldTheGreetingsReport()
    {
        SerialJob* job = dynamic_cast<CLoaderManager&>(dialog->Services()).serialJob();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (job && std::chrono::steady_clock::now() < deadline) {
            // The worker writes the code before it sends, and waits.
            if (job->request.statusCode == kStatusConnected)
                return true;
            QCoreApplication::sendPostedEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    // Presses "Update Firmware" for one more update: the new job clears the
    // last one's outcome, so the success awaited is the new one.
    testing::AssertionResult AnotherUpdateSucceeds()
    {
        Click(Control::updateButton);
        if (!PumpUntil([&] { return Text(Control::statusLabel) != kSuccess; }))
            return testing::AssertionFailure() << "the new update never reported";
        return WaitForStatus(kSuccess);
    }
};

TEST_F(DemoUpdate, OverTheBoardsSerialPort)
{
    OpenOnDemo();
    ASSERT_TRUE(TabTo(Control::macBox3));
    Type("123456789A");
    Click(Control::updateButton);
    EXPECT_TRUE(Visible(Control::statusLabel));
    EXPECT_FALSE(Window(Control::closeButton)->isEnabled());
    EXPECT_FALSE(Window(Control::backButton)->isEnabled());

    ASSERT_TRUE(WaitForStatus(kSuccess));
    EXPECT_EQ(TextColor(Control::statusLabel), 0x8C00u);
    EXPECT_EQ(Window<QProgressBar>(Control::progressBar)->value(), 100);
    EXPECT_TRUE(Window(Control::closeButton)->isEnabled());
    EXPECT_TRUE(Window(Control::backButton)->isEnabled());
    EXPECT_FALSE(Visible(Control::instructionsPicture));
    EXPECT_TRUE(messages.Texts().empty());

    demo->StopBoard();
    EXPECT_EQ(ReadFileBytes(demo->BoardFlashPath()),
              ExpectedSerialFlashOfFile(demo->ImagePath(), "0050C2123456789A"));
}

TEST_F(DemoUpdate, ThroughTheJLinkStandIn)
{
    OpenOnDemo();
    Click(Control::jlinkRadio);
    EXPECT_EQ(Text(Control::boardStatusLabel), "J-Link is active");
    EXPECT_EQ(TextColor(Control::boardStatusLabel), kGreen);
    EXPECT_TRUE(Visible(Control::probePicture));
    EXPECT_FALSE(Visible(Control::boardPicture));
    ASSERT_TRUE(Window(Control::updateButton)->isEnabled());
    Click(Control::updateButton);

    ASSERT_TRUE(WaitForStatus(kSuccess));
    EXPECT_EQ(TextColor(Control::statusLabel), 0x8C00u);
    EXPECT_EQ(Window<QProgressBar>(Control::progressBar)->value(), 100);
    EXPECT_TRUE(Window(Control::backButton)->isEnabled());
    EXPECT_TRUE(messages.Texts().empty());
    EXPECT_EQ(ReadFileBytes(demo->ProbeFlashPath()),
              ExpectedSerialFlashOfFile(demo->ImagePath(), kDefaultMacText));
    // The job cleans up after itself; the user's image stays as it was.
    EXPECT_FALSE(fs::exists(fs::path(demo->JobTempFolder()) / kWorkFolderName));
    EXPECT_TRUE(fs::exists(fs::path(demo->JobTempFolder()) / kLogFileName));
}

// The simulated board greets again after each update, as after its user's
// reset, however soon the next one comes.
TEST_F(DemoUpdate, TwoInARowOverTheSerialPortBothFinish)
{
    OpenOnDemo();
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus(kSuccess));
    Click(Control::backButton);
    ASSERT_TRUE(AnotherUpdateSucceeds());
    EXPECT_TRUE(messages.Texts().empty());
    demo->StopBoard();
    EXPECT_EQ(ReadFileBytes(demo->BoardFlashPath()),
              ExpectedSerialFlashOfFile(demo->ImagePath(), kDefaultMacText));
}

TEST_F(DemoUpdate, TwoInARowThroughTheJLinkStandInBothFinish)
{
    OpenOnDemo();
    Click(Control::jlinkRadio);
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus(kSuccess));
    Click(Control::backButton);
    ASSERT_TRUE(AnotherUpdateSucceeds());
    EXPECT_TRUE(messages.Texts().empty());
    EXPECT_EQ(ReadFileBytes(demo->ProbeFlashPath()),
              ExpectedSerialFlashOfFile(demo->ImagePath(), kDefaultMacText));
}

// The probe's flash file stays out of the image folder: the demo image is
// still the one the next update programs.
TEST_F(DemoUpdate, AJLinkUpdateThenOneOverTheSerialPortBothFinish)
{
    OpenOnDemo();
    Click(Control::jlinkRadio);
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus(kSuccess));
    EXPECT_EQ(ReadFileBytes(demo->ProbeFlashPath()),
              ExpectedSerialFlashOfFile(demo->ImagePath(), kDefaultMacText));

    Click(Control::backButton);
    Click(Control::usbRadio);
    ASSERT_TRUE(AnotherUpdateSucceeds());
    EXPECT_EQ(Text(Control::imageLabel), "demo_firmware.bin");
    EXPECT_TRUE(messages.Texts().empty());
    demo->StopBoard();
    EXPECT_EQ(ReadFileBytes(demo->BoardFlashPath()),
              ExpectedSerialFlashOfFile(demo->ImagePath(), kDefaultMacText));
}

TEST_F(DemoUpdate, BackWhileTheJobWaitsForTheBoardStopsAndDeletesTheJob)
{
    OpenOnDemo(DemoOptions{{"--fast", "--never-greet"}, 0.001});
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus(kWaiting));
    EXPECT_TRUE(Visible(Control::instructionsPicture));
    ASSERT_TRUE(Window(Control::backButton)->isEnabled());

    // The worker keeps reporting status 5 meanwhile: the stop must let those
    // reports through or both sides wait for ever.
    Click(Control::backButton);
    EXPECT_FALSE(dialog->Services().HasSerialJob());
    EXPECT_TRUE(Visible(Control::updateButton));
    EXPECT_FALSE(Visible(Control::statusLabel));

    // The stopped job let go of the port: a new update opens it again, and
    // only its waiting (or a failure) enables "<< Back" again.
    Click(Control::updateButton);
    ASSERT_FALSE(Window(Control::backButton)->isEnabled());
    ASSERT_TRUE(PumpUntil([&] { return Window(Control::backButton)->isEnabled(); }));
    EXPECT_EQ(Text(Control::statusLabel), kWaiting);
    Click(Control::backButton);
    EXPECT_FALSE(dialog->Services().HasSerialJob());
}

// The board greets while "<< Back" waits for the job to stop: the worker's
// "connected", "programming begins" and "loader download" arrive during the
// wait. None may leave the window working once the job has gone.
TEST_F(DemoUpdate, BackWhileTheBoardGreetsLeavesTheWindowReadyForTheNextUpdate)
{
    OpenOnDemo(DemoOptions{{"--fast", "--silent-polls", "1"}, 0.001});
    Click(Control::updateButton);
    ASSERT_TRUE(HoldTheGreetingsReport()) << "the board's greeting was never reported";
    ASSERT_EQ(Text(Control::statusLabel), kWaiting);
    ASSERT_TRUE(Window(Control::backButton)->isEnabled());

    Click(Control::backButton);
    EXPECT_FALSE(dialog->Services().HasSerialJob());
    EXPECT_TRUE(Visible(Control::updateButton));
    EXPECT_FALSE(Visible(Control::statusLabel));
    PumpUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_TRUE(Visible(Control::updateButton)) << "a late status switched pages";
    EXPECT_TRUE(Window(Control::closeButton)->isEnabled());
    EXPECT_TRUE(Window(Control::backButton)->isEnabled());

    // The board is reset after the session and is greeted again.
    ASSERT_TRUE(AnotherUpdateSucceeds());
    EXPECT_TRUE(messages.Texts().empty());
}

// When the display goes, the toolkit ends the program from inside its event
// loop: the job that is writing the board is stopped there and then, and the
// board is left without the header that would boot a half-written image. In
// a process of its own, since no window delivers anything afterwards.
TEST_F(DemoUpdate, LosingTheDisplayStopsTheWritingJobBeforeItsHeader)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto loseTheDisplayWhileWriting = [this] {
        OpenOnDemo(DemoOptions{{}, 0.001});
        Click(Control::updateButton);
        const bool writing = PumpUntil(
            [&] { return Window<QProgressBar>(Control::progressBar)->value() >= 10; },
            std::chrono::seconds(30));
        dialog->EndWithoutDisplay();
        // Longer than the rest of the update: a job left running would have
        // finished and written its header by then.
        std::this_thread::sleep_for(std::chrono::seconds(5));
        demo->StopBoard();
        const auto flash = ReadFileBytes(demo->BoardFlashPath());
        const bool headerless =
            flash.size() >= 4 && std::string(flash.begin(), flash.begin() + 4) != "OKOK";
        // _Exit skips the destructors that would remove the bench's folder,
        // its lock and the fixture's folders.
        fs::remove_all(demo->ProgramFolder());
        fs::remove(demo->ProgramFolder() + kOwnerLockSuffix);
        for (const TempDir* folder : {&tree.dir, &programFolder, &jobTemp})
            fs::remove_all(folder->Path());
        std::_Exit(!writing ? 2 : headerless ? 0 : 3);
    };
    EXPECT_EXIT(loseTheDisplayWhileWriting(), ::testing::ExitedWithCode(0), "");
}

// Esc ends the window at any time; the job still waiting for the board is
// stopped when the window goes, without either side waiting for the other.
TEST_F(DemoUpdate, EscWhileTheJobWaitsEndsTheWindowAndItsJob)
{
    OpenOnDemo(DemoOptions{{"--fast", "--never-greet"}, 0.001});
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus(kWaiting));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    dialog.reset();
}

}  // namespace
