#include "window_fixture.h"

#include "app/loader_manager.h"
#include "controls/win32/entry_operations.h"
#include "jlink/machine_settings.h"
#include "job/status_codes.h"
#include "platform/machine.h"
#include "screen_capture.h"
#include "serial/serial_job.h"
#include "shell/win32/window_message_target.h"
#include "support/expected_flash.h"

#include <cstdlib>

void CapturedBoxes::Show(std::string_view text)
{
    std::lock_guard lock(mutex);
    texts.emplace_back(text);
}

std::vector<std::string> CapturedBoxes::Texts()
{
    std::lock_guard lock(mutex);
    return texts;
}

WindowFixture::WindowFixture()
    : folders(MakeFolderSource()), serialPorts(MakeSerialPortFactory())
{
}

WindowFixture::~WindowFixture()
{
    dialog.reset();
    demo.reset();
}

void WindowFixture::OpenOnFolder(const std::vector<std::string>& imageNames)
{
    for (const std::string& name : imageNames)
        programFolder.Write(name, std::string(1024, '\x5A'));
    Open(LoaderParts{*folders, programFolder.Utf8(), ports, noProbe, *serialPorts,
                      SerialTiming::Prompt(), MachineJLinkSettings(),
                      [] { CWindowMessageTarget::DeliverPending(20); }});
}

void WindowFixture::OpenOnDemo(DemoOptions options)
{
    std::string error;
    demo = CDemoBench::Create(error, std::move(options));
    ASSERT_TRUE(demo) << error;
    Open(demo->PlugIn(DemoParts{*folders, ports, *serialPorts, demoProbe,
                                [] { CWindowMessageTarget::DeliverPending(20); }}));
}

DemoOptions WindowFixture::QuickProbeDemo()
{
    DemoOptions options;
    options.jlinkSleepScale = 0.01;
    return options;
}

DemoOptions WindowFixture::SlowWritingDemo()
{
    DemoOptions options = QuickProbeDemo();
    options.board.writeTimePerByte = std::chrono::microseconds(60);
    return options;
}

DemoOptions WindowFixture::SilentBoardDemo()
{
    DemoOptions options = QuickProbeDemo();
    options.board.neverGreet = true;
    return options;
}

DemoOptions WindowFixture::LateGreetingDemo()
{
    DemoOptions options = QuickProbeDemo();
    options.board.silentPolls = 1;
    return options;
}

testing::AssertionResult WindowFixture::BoardHoldsTheDemoImage(std::string_view mac) const
{
    if (demo->BoardFlash() == ExpectedSerialFlashOfFile(demo->ImagePath(), mac))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the board's flash is not the demo image with " << mac;
}

void WindowFixture::Open(const LoaderParts& parts)
{
    dialog = std::make_unique<CVelkanFirmwareGUIDlg>([parts](IMessageTarget& window) {
        return std::make_unique<CLoaderManager>(window, parts);
    });
    dialog->askYesNo = [](std::string_view) { return false; };
    dialog->messageBox = messageBox;
    dialog->onWindowCreated = onWindowCreated;
    dialog->onAccessibleProperty = onAccessibleProperty;
    ASSERT_TRUE(dialog->Create());
    // The monitors' first messages.
    PumpFor(std::chrono::milliseconds(200));
}

std::string WindowFixture::Text(Control control) const { return WindowText(Window(control)); }

bool WindowFixture::Visible(Control control) const { return IsWindowVisible(Window(control)); }

bool WindowFixture::Enabled(Control control) const { return IsWindowEnabled(Window(control)); }

bool WindowFixture::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            dialog->Dispatch(message);
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void WindowFixture::PumpFor(std::chrono::milliseconds time)
{
    PumpUntil([] { return false; }, time);
}

bool WindowFixture::HoldTheGreetingsReport(std::chrono::milliseconds limit)
{
    SerialJob* job = dynamic_cast<CLoaderManager&>(dialog->Services()).serialJob();
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE)) {
            Sleep(2);
            continue;
        }
        // The worker writes the code before it sends, and waits.
        if (job && job->request.statusCode == kStatusConnected)
            return true;
        MSG pending;
        PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return false;
}

testing::AssertionResult WindowFixture::WaitForStatus(const std::string& text)
{
    if (PumpUntil([&] { return Text(Control::statusLabel) == text; }))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the status line reads \"" << Text(Control::statusLabel)
                                       << "\", not \"" << text << "\"";
}

void WindowFixture::Click(Control control)
{
    SendMessageW(Window(control), BM_CLICK, 0, 0);
    PumpFor(std::chrono::milliseconds(50));
}

void WindowFixture::PressKey(UINT virtualKey)
{
    // Without a focus the keys go to the dialog, as the system sends them.
    const HWND focus = GetFocus() ? GetFocus() : dialog->Handle();
    PostMessageW(focus, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(focus, WM_KEYUP, virtualKey, 0xC0000001);
    PumpFor(std::chrono::milliseconds(30));
}

void WindowFixture::Type(const char* characters)
{
    for (const char* c = characters; *c; ++c) {
        PostMessageW(GetFocus(), WM_CHAR, static_cast<unsigned char>(*c), 1);
        PumpFor(std::chrono::milliseconds(10));
    }
}

bool WindowFixture::TabTo(Control control)
{
    for (int k = 0; k < 40; ++k) {
        if (GetFocus() == Window(control))
            return true;
        PressKey(VK_TAB);
    }
    return GetFocus() == Window(control);
}

Picture WindowFixture::Screenshot(const char* name)
{
    // Drawn completely before the picture is taken.
    RedrawWindow(dialog->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(std::chrono::milliseconds(200));
    const Picture picture = CaptureClient(dialog->Handle());
    const char* chosen = std::getenv("QUILLMARK_SCREENSHOT_DIR");
    const std::filesystem::path folder =
        PathOfUtf8(chosen && *chosen ? chosen : QUILLMARK_SCREENSHOT_DEFAULT_DIR);
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(SavePng(picture, folder / (std::string("win32_") + name + ".png"))) << name;
    return picture;
}
