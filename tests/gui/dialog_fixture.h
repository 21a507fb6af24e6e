#pragma once
// The real Quillmark window with a real loader manager, on a machine of its
// own: a temporary device tree with no ports of the host in it, a temporary
// program folder or the demo bench (simulated board, J-Link stand-in).
// Message boxes are captured: a real modal box would stop the test.

#include "app/demo_probe_source.h"
#include "platform/posix/folder_source.h"
#include "platform/posix/port_map_source.h"
#include "platform/posix/posix_serial_port.h"
#include "platform/posix/probe_source.h"
#include "shell/qt/demo_bench.h"
#include "shell/qt/firmware_dialog.h"
#include "support/captured_messages.h"
#include "support/temp_dir.h"

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// A device tree without a single USB device.
struct EmptyMachineTree {
    EmptyMachineTree();
    TempDir dir;
    MachineRoots roots;
};

class DialogFixture : public testing::Test {
protected:
    ~DialogFixture() override;

    // A program folder of our own, with the given *.bin files in it; no board
    // and no probe unless the test adds them.
    void OpenOnFolder(const std::vector<std::string>& imageNames);
    // The demo bench with `options`; the demo board is the only port.
    void OpenOnDemo(DemoOptions options = FastDemo());
    static DemoOptions FastDemo();

    // The control's window, as its class.
    template <class Widget = QWidget>
    Widget* Window(Control control) const
    {
        auto* window = qobject_cast<Widget*>(dialog->ControlWindow(control));
        EXPECT_NE(window, nullptr) << "control " << static_cast<int>(control);
        return window;
    }
    QString Text(Control control) const;
    // The text color last given to a label or radio button (0x00BBGGRR).
    std::uint32_t TextColor(Control control) const;
    // Shown on the window now (the page shown and the control's own flag).
    bool Visible(Control control) const;

    // Runs the event loop until `done` holds, at most `limit`.
    static bool PumpUntil(const std::function<bool()>& done,
                          std::chrono::milliseconds limit = std::chrono::seconds(20));
    // Pumps until the status line reads `text`; says what it read otherwise.
    testing::AssertionResult WaitForStatus(const QString& text);

    void Click(Control control);
    // Presses Tab until `control` has the keyboard focus (at most a page's worth).
    bool TabTo(Control control);
    // Types each character as a key press into whichever box has the focus.
    void Type(const char* keys);

    CapturedMessages messages;
    EmptyMachineTree tree;
    TempDir programFolder;
    TempDir jobTemp;
    CPosixFolderSource folders;
    CPosixPortMapSource ports{tree.roots};
    PosixSerialPortFactory serialPorts;
    CPosixProbeSource noProbes{tree.roots};
    CDemoProbeSource demoProbe;
    std::unique_ptr<CDemoBench> demo;
    std::unique_ptr<CVelkanFirmwareGUIDlg> dialog;

private:
    void Open(const LoaderParts& parts);
};
