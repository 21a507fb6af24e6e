#include "fake_machine.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace {

void WriteText(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
}

std::string UsbDeviceName(int address) { return "1-" + std::to_string(address); }

std::string UsbNode(int address)
{
    char node[16];
    std::snprintf(node, sizeof node, "001/%03d", address);
    return node;
}

}  // namespace

FakeMachine::FakeMachine()
{
    std::string pattern = (fs::temp_directory_path() / "quillmark-machine-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data()))
        throw std::runtime_error("cannot create a temporary folder");
    root = name.data();
    fs::create_directories(root / "sys/class/tty");
    fs::create_directories(root / "sys/bus/usb/devices");
    fs::create_directories(root / "sys/devices/platform");
    fs::create_directories(root / "dev/bus/usb/001");
}

FakeMachine::~FakeMachine()
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

MachineRoots FakeMachine::Roots() const { return MachineRoots{Sysfs(), Dev()}; }

void FakeMachine::AddSysfsOnlySerial(const std::string& tty, const std::string& vendor)
{
    // usb1/1-N/1-N:1.0/ttyUSB0: the port device hangs below the interface,
    // below the USB device that carries the vendor id.
    const fs::path usbDevice = root / "sys/devices/usb1" / ("1-" + tty);
    WriteText(usbDevice / "idVendor", vendor);
    const fs::path port = usbDevice / ("1-" + tty + ":1.0") / tty;
    fs::create_directories(port);
    fs::create_directories(root / "sys/class/tty" / tty);
    fs::create_directory_symlink(port, root / "sys/class/tty" / tty / "device");
}

void FakeMachine::PlugUsbSerial(const std::string& tty, const std::string& vendor)
{
    AddSysfsOnlySerial(tty, vendor);
    AddDevNode(tty);
}

void FakeMachine::AddPlatformSerial(const std::string& tty)
{
    const fs::path port = root / "sys/devices/platform/serial8250" / tty;
    fs::create_directories(port);
    fs::create_directories(root / "sys/class/tty" / tty);
    fs::create_directory_symlink(port, root / "sys/class/tty" / tty / "device");
    AddDevNode(tty);
}

void FakeMachine::UnplugSerial(const std::string& tty)
{
    RemoveDevNode(tty);
    fs::remove_all(root / "sys/class/tty" / tty);
    fs::remove_all(root / "sys/devices/usb1" / ("1-" + tty));
    fs::remove_all(root / "sys/devices/platform/serial8250" / tty);
}

void FakeMachine::PlugUsbDevice(int address, const std::string& vendor)
{
    const fs::path device = root / "sys/bus/usb/devices" / UsbDeviceName(address);
    WriteText(device / "idVendor", vendor);
    WriteText(device / "busnum", "1");
    WriteText(device / "devnum", std::to_string(address));
    AddDevNode("bus/usb/" + UsbNode(address));
}

void FakeMachine::UnplugUsbDevice(int address)
{
    RemoveDevNode("bus/usb/" + UsbNode(address));
    fs::remove_all(root / "sys/bus/usb/devices" / UsbDeviceName(address));
}

void FakeMachine::AddDevNode(const std::string& name)
{
    const fs::path node = root / "dev" / name;
    fs::create_directories(node.parent_path());
    std::ofstream{node};
}

void FakeMachine::RemoveDevNode(const std::string& name) { fs::remove(root / "dev" / name); }
