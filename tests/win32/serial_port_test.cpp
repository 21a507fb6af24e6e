// Opening serial ports that are not there or are no ports. The ports that are
// there (a pseudo-terminal given to wine as a COM port) are tested from the
// Linux side, which can make one: tests/wine.

#include "platform/win32/serial_port.h"
#include "test_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(Win32SerialPortOpen, SaysWhyAPortDoesNotOpen)
{
    TestFolder folder;
    const std::string file = folder.Write("plain-file", "x");
    const struct {
        std::string name;
        PortOpenFailure reason;
    } cases[] = {
        {"COM199", PortOpenFailure::NoSuchDevice},
        {"", PortOpenFailure::NoSuchDevice},
        {file, PortOpenFailure::NotASerialPort},
        {folder.Utf8(), PortOpenFailure::NotASerialPort},
    };
    Win32SerialPortFactory ports;
    for (const auto& c : cases) {
        EXPECT_FALSE(ports.Open(c.name)) << c.name;
        EXPECT_EQ(ports.LastOpenError().reason, c.reason) << c.name << ": " << ports.LastOpenError().detail;
    }
    EXPECT_EQ(std::filesystem::file_size(PathOfUtf8(file)), 1u);  // a file is never changed
}

}  // namespace
