// The Linux serial port on a real pseudo-terminal.

#include "platform/posix/posix_serial_port.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

using ::testing::HasSubstr;

namespace {

using std::chrono::milliseconds;

// The far end of a cable: the master side of a pseudo-terminal.
class Pty {
public:
    Pty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        slavePath = ::ptsname(master);
        // Keeps the line alive between opens, as a plugged-in device is.
        holder = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    }
    ~Pty()
    {
        CloseMaster();
        if (holder >= 0)
            ::close(holder);
    }
    void Send(const std::string& text) { ASSERT_EQ(::write(master, text.data(), text.size()), static_cast<ssize_t>(text.size())); }
    void CloseMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    termios Settings() const
    {
        termios settings{};
        ::tcgetattr(holder, &settings);
        return settings;
    }
    void SetSettings(const termios& settings) { ::tcsetattr(holder, TCSANOW, &settings); }

    int master = -1;
    int holder = -1;
    std::string slavePath;
};

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

TEST(PosixSerialPort, OpensRaw115200EightDataBitsOneStopBitNoParityCheck)
{
    Pty pty;
    termios slow = pty.Settings();
    ::cfsetispeed(&slow, B9600);
    ::cfsetospeed(&slow, B9600);
    slow.c_cflag = (slow.c_cflag & ~CSIZE) | CS7 | CSTOPB | PARENB;
    slow.c_iflag |= INPCK;
    slow.c_lflag |= ICANON | ECHO;
    pty.SetSettings(slow);

    PosixSerialPortFactory ports;
    auto port = ports.Open(pty.slavePath);
    ASSERT_NE(port, nullptr) << DescribeOpenError(ports.LastOpenError());
    const termios settings = pty.Settings();
    EXPECT_EQ(::cfgetispeed(&settings), B115200);
    EXPECT_EQ(::cfgetospeed(&settings), B115200);
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & (CSTOPB | PARENB), 0u);
    EXPECT_EQ(settings.c_iflag & INPCK, 0u);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO), 0u);
}

TEST(PosixSerialPort, ASecondOpenOfAHeldPortFailsAsBusy)
{
    Pty pty;
    PosixSerialPortFactory ports;
    auto first = ports.Open(pty.slavePath);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ports.Open(pty.slavePath), nullptr);
    EXPECT_EQ(ports.LastOpenError().reason, PortOpenFailure::Busy);
    first->Close();
    EXPECT_NE(ports.Open(pty.slavePath), nullptr);
    EXPECT_EQ(ports.LastOpenError().reason, PortOpenFailure::None);
}

TEST(PosixSerialPort, KeepsTheReasonOfAFailedOpen)
{
    TempDir dir;
    PosixSerialPortFactory ports;
    EXPECT_EQ(ports.Open(dir / "ttyGONE"), nullptr);
    EXPECT_EQ(ports.LastOpenError().reason, PortOpenFailure::NoSuchDevice);
    EXPECT_EQ(ports.Open(dir.Write("plain.txt", "not a port")), nullptr);
    EXPECT_EQ(ports.LastOpenError().reason, PortOpenFailure::NotASerialPort);
    EXPECT_THAT(DescribeOpenError({PortOpenFailure::PermissionDenied, ""}), HasSubstr("dialout"));
}

TEST(PosixSerialPort, KernelNamesLiveInDev)
{
    EXPECT_EQ(PosixSerialPortFactory::DevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(PosixSerialPortFactory::DevicePath("/dev/serial/by-id/usb-x"), "/dev/serial/by-id/usb-x");
    EXPECT_EQ(PosixSerialPortFactory::DevicePath("./board"), "./board");
}

TEST(PosixSerialPort, WaitsForTheAwaitedCountAndReadsInOrder)
{
    Pty pty;
    PosixSerialPortFactory ports;
    auto port = ports.Open(pty.slavePath);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->BytesWaiting(), 0u);
    pty.Send("CONN");
    std::thread later([&] {
        std::this_thread::sleep_for(milliseconds(20));
        pty.Send("ECT!");
    });
    EXPECT_EQ(port->WaitForBytes(8, std::chrono::seconds(5)), 8u);
    later.join();
    EXPECT_EQ(port->BytesWaiting(), 8u);
    std::vector<std::uint8_t> bytes(7);
    EXPECT_EQ(port->Read(bytes, milliseconds(0)), 7u);
    EXPECT_EQ(Text(bytes), "CONNECT");
    // Only one byte is left: a bounded read returns what there is.
    EXPECT_EQ(port->Read(bytes, milliseconds(20)), 1u);
    EXPECT_EQ(bytes[0], '!');
}

TEST(PosixSerialPort, WritesReachTheOtherEnd)
{
    Pty pty;
    PosixSerialPortFactory ports;
    auto port = ports.Open(pty.slavePath);
    ASSERT_NE(port, nullptr);
    const std::vector<std::uint8_t> payload{0x00, 0x02, 0x57, 0xFF, '\n', '\r'};
    ASSERT_TRUE(port->Write(payload));
    std::vector<std::uint8_t> got(payload.size());
    std::size_t have = 0;
    while (have < got.size()) {
        const ssize_t n = ::read(pty.master, got.data() + have, got.size() - have);
        ASSERT_GT(n, 0);
        have += static_cast<std::size_t>(n);
    }
    EXPECT_EQ(got, payload);  // raw: no newline translation
}

TEST(PosixSerialPort, AHungUpLineFailsEveryCall)
{
    Pty pty;
    PosixSerialPortFactory ports;
    auto port = ports.Open(pty.slavePath);
    ASSERT_NE(port, nullptr);
    pty.CloseMaster();
    EXPECT_EQ(port->BytesWaiting(), std::nullopt);
    EXPECT_EQ(port->WaitForBytes(1, milliseconds(50)), std::nullopt);
    const std::uint8_t poll = 0;
    EXPECT_FALSE(port->Write({&poll, 1}));
}

// A simulated board is shown under a short tty name while its port is a
// pseudo-terminal somewhere else.
TEST(PosixSerialPort, AnAliasOpensThePortItNames)
{
    Pty first;
    Pty second;
    PosixSerialPortFactory ports;
    ports.AddPortAlias("ttyQUILLTEST0", first.slavePath);
    auto port = ports.Open("ttyQUILLTEST0");
    ASSERT_NE(port, nullptr) << DescribeOpenError(ports.LastOpenError());
    const std::uint8_t byte = 0x5A;
    ASSERT_TRUE(port->Write({&byte, 1}));
    std::uint8_t got = 0;
    ASSERT_EQ(::read(first.master, &got, 1), 1);
    EXPECT_EQ(got, byte);
    // The alias holds the port like any other name: a second open is refused.
    EXPECT_EQ(ports.Open("ttyQUILLTEST0"), nullptr);
    EXPECT_EQ(ports.LastOpenError().reason, PortOpenFailure::Busy);
    port->Close();

    // A later alias of the same name replaces the earlier one.
    ports.AddPortAlias("ttyQUILLTEST0", second.slavePath);
    port = ports.Open("ttyQUILLTEST0");
    ASSERT_NE(port, nullptr) << DescribeOpenError(ports.LastOpenError());
    first.Send("A");
    second.Send("B");
    std::vector<std::uint8_t> answer(1);
    EXPECT_EQ(port->Read(answer, milliseconds(2000)), 1u);
    EXPECT_EQ(Text(answer), "B");
}

TEST(PosixSerialPort, OnlyTheAliasedNameIsRedirected)
{
    Pty pty;
    TempDir dir;
    PosixSerialPortFactory ports;
    ports.AddPortAlias("ttyQUILLTEST0", pty.slavePath);
    ports.AddPortAlias("ttyQUILLTEST1", dir / "gone");
    // Other names still mean /dev/<name>; a dangling alias says the device is missing.
    EXPECT_EQ(ports.Open("ttyQUILLTEST9"), nullptr);
    EXPECT_EQ(ports.LastOpenError().reason, PortOpenFailure::NoSuchDevice);
    EXPECT_EQ(ports.Open("ttyQUILLTEST1"), nullptr);
    EXPECT_EQ(ports.LastOpenError().reason, PortOpenFailure::NoSuchDevice);
    EXPECT_EQ(ports.Open("ttyquilltest0"), nullptr);
    EXPECT_NE(ports.Open(pty.slavePath), nullptr);
}

}  // namespace
