#pragma once
// A device tree in a temporary folder, laid out as sysfs and /dev lay out
// USB serial ports and USB devices. Plugging makes the sysfs entries first
// and the device node last; unplugging removes the node first, as the kernel
// does, so a watcher of the /dev side sees the finished state.

#include "platform/posix/machine_roots.h"

#include <filesystem>
#include <string>

class FakeMachine {
public:
    FakeMachine();  // an empty machine: sysfs with no tty and no USB device
    ~FakeMachine();
    FakeMachine(const FakeMachine&) = delete;
    FakeMachine& operator=(const FakeMachine&) = delete;

    MachineRoots Roots() const;
    const std::filesystem::path& Root() const { return root; }
    std::string Sysfs() const { return (root / "sys").string(); }
    std::string Dev() const { return (root / "dev").string(); }

    // A tty (ttyUSB0, ttyACM1) on a USB device with the given vendor id.
    void PlugUsbSerial(const std::string& tty, const std::string& vendor = "0403");
    // A tty on the main board (ttyS0): no USB device behind it.
    void AddPlatformSerial(const std::string& tty);
    // A tty whose sysfs entry exists but whose /dev node does not (yet).
    void AddSysfsOnlySerial(const std::string& tty, const std::string& vendor = "0403");
    void UnplugSerial(const std::string& tty);

    // A USB device at bus 1, address `address`, with the given vendor id.
    void PlugUsbDevice(int address, const std::string& vendor = "1366");
    void UnplugUsbDevice(int address);

    // Any device node below /dev (not a serial port, or one by name only).
    void AddDevNode(const std::string& name);
    void RemoveDevNode(const std::string& name);

private:
    std::filesystem::path root;
};
