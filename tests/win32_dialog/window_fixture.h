#pragma once
// The real Windows window with a real loader manager, on a machine of its
// own: ports and probes only the test plugs in, a temporary program folder or
// the demo bench (the simulated board inside the program, the J-Link
// stand-in). Message boxes are captured: a real modal box would stop the test.
// Input arrives as the window messages the system would deliver, through the
// dialog's own keyboard handling.

#include "app/demo_probe_source.h"
#include "memory_machine.h"
#include "platform/message_box.h"
#include "platform/serial_port.h"
#include "screen_capture.h"
#include "shell/win32/demo_bench.h"
#include "shell/win32/firmware_dialog.h"
#include "win32/test_folder.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CapturedBoxes final : public IMessageBoxSink {
public:
    void Show(std::string_view text) override;
    std::vector<std::string> Texts();

private:
    std::mutex mutex;
    std::vector<std::string> texts;
};

class WindowFixture : public testing::Test {
protected:
    WindowFixture();
    ~WindowFixture() override;

    // A program folder of our own with the given *.bin files in it; no board
    // and no probe unless the test adds them.
    void OpenOnFolder(const std::vector<std::string>& imageNames);
    // The demo bench; the demo board is the only port.
    void OpenOnDemo(DemoOptions options = QuickProbeDemo());
    // The real board's speed, the stand-in's waits cut to almost nothing.
    static DemoOptions QuickProbeDemo();
    // A board that writes its flash slowly enough to be watched at it.
    static DemoOptions SlowWritingDemo();
    // A board that never greets: the job waits for the user to reset it.
    static DemoOptions SilentBoardDemo();
    // A board whose user presses reset after the first poll has gone unanswered.
    static DemoOptions LateGreetingDemo();
    // The demo board's flash is the demo image with `mac`, as the job writes it.
    testing::AssertionResult BoardHoldsTheDemoImage(std::string_view mac) const;

    HWND Window(Control control) const { return dialog->ControlWindow(control); }
    std::string Text(Control control) const;
    // Shown on the screen now (the page shown and the control's own flag).
    bool Visible(Control control) const;
    bool Enabled(Control control) const;

    // Handles the window's messages until `done` holds, at most `limit`.
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds limit = std::chrono::seconds(30));
    void PumpFor(std::chrono::milliseconds time);
    // Delivers the serial worker's reports until the one of the board's
    // greeting is pending: the worker then waits for the window, as it does
    // when the user's click comes first.
    bool HoldTheGreetingsReport(std::chrono::milliseconds limit = std::chrono::seconds(20));
    // Pumps until the status line reads `text`; says what it read otherwise.
    testing::AssertionResult WaitForStatus(const std::string& text);

    // The user's click on a button or radio button.
    void Click(Control control);
    // A key as the keyboard delivers it to the control with the focus.
    void PressKey(UINT virtualKey);
    // Types each character into whichever control has the focus.
    void Type(const char* characters);
    // Presses Tab until `control` has the keyboard focus (a page's worth at most).
    bool TabTo(Control control);

    // Saves the window's client area as win32_<name>.png among the
    // screenshots ($QUILLMARK_SCREENSHOT_DIR, or the Linux build's) and hands
    // the picture back.
    Picture Screenshot(const char* name);

    // Handed to the dialog as its hook for the window's creation.
    std::function<void(HWND)> onWindowCreated;
    // Handed to the dialog: each accessible property its controls are given.
    std::function<void(const GivenProperty&)> onAccessibleProperty;
    CapturedBoxes boxes;
    // Handed to the dialog as its message box; the captured boxes unless a
    // test puts another in their place.
    IMessageBoxSink* messageBox = &boxes;
    TestFolder programFolder;
    std::unique_ptr<IFolderSource> folders;
    MemoryPortSource ports;
    NoProbeSource noProbe;
    CDemoProbeSource demoProbe;
    std::unique_ptr<ISerialPortFactory> serialPorts;
    std::unique_ptr<CDemoBench> demo;
    std::unique_ptr<CVelkanFirmwareGUIDlg> dialog;

private:
    void Open(const LoaderParts& parts);
};
