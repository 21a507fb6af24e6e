#include "dialog_fixture.h"

#include "app/loader_manager.h"
#include "controls/color_label.h"
#include "controls/custom_radio_button.h"
#include "controls/entry_operations.h"
#include "jlink/machine_settings.h"
#include "shell/qt/qt_message_target.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QTest>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

void DeliverWhileWaiting() { QtMessageTarget::DeliverPending(50); }

}  // namespace

EmptyMachineTree::EmptyMachineTree()
    : roots{(dir.Path() / "sys").string(), (dir.Path() / "dev").string()}
{
    fs::create_directories(dir.Path() / "sys/class/tty");
    fs::create_directories(dir.Path() / "sys/bus/usb/devices");
    fs::create_directories(dir.Path() / "dev");
}

DialogFixture::~DialogFixture()
{
    // The monitors and jobs end with the window, before the machine goes.
    dialog.reset();
    demo.reset();
}

DemoOptions DialogFixture::FastDemo()
{
    // The demo's realistic line and flash times are not what these tests
    // look at; the J-Link script's waits are cut to almost nothing.
    return DemoOptions{{"--fast"}, 0.001};
}

void DialogFixture::OpenOnFolder(const std::vector<std::string>& imageNames)
{
    int seed = 1;
    for (const std::string& name : imageNames)
        programFolder.Write(name, RandomBytes(3000, seed++));
    JLinkSettings jlink = MachineJLinkSettings();
    jlink.programFolder = programFolder.Path().string();
    jlink.tempFolder = jobTemp.Path().string();
    Open(LoaderParts{folders, programFolder.Path().string(), ports, noProbes, serialPorts,
                       SerialTiming::Prompt(), jlink, DeliverWhileWaiting});
}

void DialogFixture::OpenOnDemo(DemoOptions options)
{
    std::string error;
    demo = CDemoBench::Create(error, std::move(options));
    ASSERT_NE(demo, nullptr) << error;
    Open(demo->PlugIn(DemoParts{folders, ports, serialPorts, demoProbe, DeliverWhileWaiting}));
}

void DialogFixture::Open(const LoaderParts& parts)
{
    dialog = std::make_unique<CVelkanFirmwareGUIDlg>([&parts](IMessageTarget& window) {
        return std::make_unique<CLoaderManager>(window, parts);
    });
    dialog->messageBox = &messages;
    dialog->Initialise();
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
}

QString DialogFixture::Text(Control control) const { return WindowText(Window(control)); }

std::uint32_t DialogFixture::TextColor(Control control) const
{
    if (auto* label = dynamic_cast<ColorLabel*>(dialog->ControlWindow(control)))
        return label->textColor;
    if (auto* radio = dynamic_cast<CCustomRadioButton*>(dialog->ControlWindow(control)))
        return radio->textColor;
    ADD_FAILURE() << "control " << static_cast<int>(control) << " has no text color";
    return 0;
}

bool DialogFixture::Visible(Control control) const { return Window(control)->isVisible(); }

// A real event loop, as the window runs in: a worker's blocking report is
// handled the moment it arrives (QTest::qWait naps between its rounds).
bool DialogFixture::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    if (done())
        return true;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done() || std::chrono::steady_clock::now() >= deadline)
            loop.quit();
    });
    look.start(2);
    loop.exec();
    return done();
}

testing::AssertionResult DialogFixture::WaitForStatus(const QString& text)
{
    if (PumpUntil([&] { return Text(Control::statusLabel) == text; }))
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "the status line reads \"" << Text(Control::statusLabel).toStdString()
           << "\", not \"" << text.toStdString() << "\"";
}

void DialogFixture::Click(Control control)
{
    QWidget* window = Window(control);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(8, window->height() / 2));
}

bool DialogFixture::TabTo(Control control)
{
    for (int presses = 0; presses < 40; ++presses) {
        if (QApplication::focusWidget() == Window(control))
            return true;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return QApplication::focusWidget() == Window(control);
}

void DialogFixture::Type(const char* keys)
{
    for (const char* key = keys; *key; ++key)
        QTest::keyClicks(QApplication::focusWidget(), QString(QChar(*key)));
}
