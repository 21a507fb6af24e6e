// The serial job against the simulated board on an in-memory cable.

#include "flash/flash_layout.h"
#include "images/prepare_request.h"
#include "images/srecord_text.h"
#include "job/status_codes.h"
#include "job_harness.h"
#include "memory_board.h"
#include "serial/wire_protocol.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <span>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace {

constexpr char kMac[] = "0050C2123456789A";
const Codes kThroughErase = Steps({kOpened, kGreeted, kSecondStageLoaded, kErasedThenProgramming});
const Codes kLoaded = Steps({kOpened, kGreeted, kSecondStageLoaded});
const Codes kLoaderFailed = Steps({kOpened, kGreeted, {kStatusSecondStageLoaderDownload, kStatusSecondStageLoaderError}});
const Codes kEraseFailed = Steps({kLoaded, {kStatusEraseError}});
const Codes kPacketFailed = Steps({kThroughErase, {kStatusProgrammingFailed}});
const Codes kSucceeded = Steps({kThroughErase, {kStatusSuccess}});
const Codes kReconnected = Steps({kOpened, {kStatusDisconnected, kStatusReconnected}});

// The write packets the job sent, as (address, length) pairs, in order.
std::vector<std::pair<std::uint32_t, std::size_t>> Packets(const MemoryBoard& board)
{
    std::vector<std::pair<std::uint32_t, std::size_t>> packets;
    for (const auto& write : board.Writes()) {
        if (write.size() == kPacketHeaderSize && write[0] == kPacketStart && write[1] == kWriteCommand)
            packets.emplace_back(write[2] | write[3] << 8 | write[4] << 16 | write[5] << 24, write[6]);
    }
    return packets;
}

class SuccessfulFlash : public ::testing::TestWithParam<std::size_t> {};

TEST_P(SuccessfulFlash, ReportsEveryStepAndLeavesHeaderImageAndMac)
{
    MemoryBoard board(MemoryBoard::FastOptions());
    MemoryPortFactory ports(board);
    JobHarness harness(ports);
    ASSERT_TRUE(harness.Prepare(RandomBytes(GetParam(), 11), kMac));
    harness.RunToEnd();
    EXPECT_THAT(harness.Statuses(), ElementsAreArray(kSucceeded));
    EXPECT_EQ(board.Flash(), harness.ExpectedFlash());
    EXPECT_EQ(harness.Progress().back(), 100u);
}

INSTANTIATE_TEST_SUITE_P(Lengths, SuccessfulFlash, ::testing::Values(1, 120, 121, 2062, 2063, 5000));

TEST(SerialJob, SplitsIntoPacketsOfAtMost120AndWritesTheHeaderLast)
{
    MemoryBoard board(MemoryBoard::FastOptions());
    MemoryPortFactory ports(board);
    JobHarness harness(ports);
    ASSERT_TRUE(harness.Prepare(RandomBytes(121, 3), kMac));
    harness.RunToEnd();
    using Packet = std::pair<std::uint32_t, std::size_t>;
    EXPECT_THAT(Packets(board), ElementsAre(Packet{8, 120}, Packet{128, 1}, Packet{0, 8}));
    // 800 / 121 = 6; 12800 / 121 would be 105.
    EXPECT_THAT(harness.Progress(), ElementsAre(6u, 100u, 100u));
}

TEST(SerialJob, EmptyImageWritesOnlyTheHeader)
{
    MemoryBoard board(MemoryBoard::FastOptions());
    MemoryPortFactory ports(board);
    JobHarness harness(ports);
    harness.PrepareEmptyImage(kMac);
    harness.RunToEnd();
    EXPECT_THAT(harness.Statuses(), ElementsAreArray(kSucceeded));
    EXPECT_THAT(harness.Progress(), ElementsAre(100u));
    using Packet = std::pair<std::uint32_t, std::size_t>;
    EXPECT_THAT(Packets(board), ElementsAre(Packet{0, 8}));
    EXPECT_EQ(board.Flash(), harness.ExpectedFlash());
}

TEST(SerialJob, ProgramsTheLoadedLengthOfAnSRecordImageNotItsFileSize)
{
    MemoryBoard board(MemoryBoard::FastOptions());
    MemoryPortFactory ports(board);
    JobHarness harness(ports);
    const auto image = RandomBytes(300, 8);
    std::string text;
    for (std::size_t at = 0; at < image.size(); at += 30)
        text += MakeDataRecord(1, static_cast<std::uint32_t>(at),
                               {image.begin() + static_cast<long>(at), image.begin() + static_cast<long>(at) + 30});
    text += "S9030000FC\n";
    ASSERT_TRUE(harness.Prepare({text.begin(), text.end()}, kMac, "fw.s19"));
    harness.RunToEnd();
    ASSERT_EQ(harness.job.request.image.length, 300u);
    EXPECT_EQ(harness.Statuses().back(), kStatusSuccess);
    const auto flash = board.Flash();
    EXPECT_EQ(std::vector<std::uint8_t>(flash.begin(), flash.begin() + 8), std::vector<std::uint8_t>({'O', 'K', 'O', 'K', 44, 1, 0, 0}));
    EXPECT_EQ(flash, harness.ExpectedFlash());
}

TEST(SerialJob, FixedTimingProgramsTheSameFlash)
{
    MemoryBoard board(MemoryBoard::FastOptions());
    MemoryPortFactory ports(board);
    JobHarness harness(ports, QuickTiming(false));
    ASSERT_TRUE(harness.Prepare(RandomBytes(500, 2), kMac));
    harness.RunToEnd();
    EXPECT_THAT(harness.Statuses(), ElementsAreArray(kSucceeded));
    EXPECT_EQ(board.Flash(), harness.ExpectedFlash());
}

struct FailureCase {
    const char* name;
    std::function<void(SimOptions&)> fault;
    Codes statuses;
};

class BoardFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(BoardFailure, EndsWithItsStatusAndNoHeader)
{
    SimOptions options = MemoryBoard::FastOptions();
    GetParam().fault(options);
    MemoryBoard board(options);
    MemoryPortFactory ports(board);
    JobHarness harness(ports);
    ASSERT_TRUE(harness.Prepare(RandomBytes(300, 5), kMac));
    harness.RunToEnd();
    EXPECT_THAT(harness.Statuses(), ElementsAreArray(GetParam().statuses));
    const auto flash = board.Flash();
    EXPECT_NE(std::string(flash.begin(), flash.begin() + 4), "OKOK");
}


INSTANTIATE_TEST_SUITE_P(
    Faults, BoardFailure,
    ::testing::Values(
        FailureCase{"ReadyInLowerCase", [](SimOptions& o) { o.readyText = "ready"; }, kLoaderFailed},
        FailureCase{"ReadyCutShort", [](SimOptions& o) { o.readyText = "READ"; }, kLoaderFailed},
        FailureCase{"EraseFails", [](SimOptions& o) { o.eraseFails = true; }, kEraseFailed},
        FailureCase{"BadFirstAck", [](SimOptions& o) { o.badAckPacket = 1; }, kPacketFailed},
        FailureCase{"BadThirdAck", [](SimOptions& o) { o.badAckPacket = 3; }, kPacketFailed},
        FailureCase{"MissingAck", [](SimOptions& o) { o.missingAckPacket = 2; }, kPacketFailed},
        FailureCase{"LateAck",
                    [](SimOptions& o) {
                        o.lateAckPacket = 1;
                        o.lateAckDelay = std::chrono::milliseconds(400);
                    },
                    kPacketFailed},
        FailureCase{"UnplugDuringDownload", [](SimOptions& o) { o.unplugAt = SimPhase::Download; },
                    kLoaderFailed},
        FailureCase{"UnplugAtErase", [](SimOptions& o) { o.unplugAt = SimPhase::Erase; }, kEraseFailed},
        FailureCase{"UnplugWhileWriting", [](SimOptions& o) { o.unplugAt = SimPhase::Write; },
                    kPacketFailed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SerialJob, AnImageThatDidNotLoadEndsTheJobBeforeThePortIsOpened)
{
    MemoryBoard board(MemoryBoard::FastOptions());
    MemoryPortFactory ports(board);
    JobHarness harness(ports);
    harness.job.request.portName = "board";
    ASSERT_FALSE(PrepareRequest(harness.job.request, "/nonexistent/fw.bin", "fw.bin", kMac));
    harness.RunToEnd();
    EXPECT_THAT(harness.Statuses(), ElementsAre(kStatusFileUnreadable));
    EXPECT_EQ(board.Opens(), 0);
}

TEST(SerialJob, AnImageLongerThanTheFlashIsRefusedBeforeThePortIsOpened)
{
    MemoryBoard board(MemoryBoard::FastOptions());
    MemoryPortFactory ports(board);
    JobHarness harness(ports);
    ASSERT_TRUE(harness.Prepare(RandomBytes(kMaxImageLength + 1, 1), kMac));
    harness.RunToEnd();
    EXPECT_THAT(harness.Statuses(), ElementsAre(kStatusFileUnreadable));
    EXPECT_THAT(harness.Messages(), ElementsAre(ImageTooLongMessage(kMaxImageLength + 1)));
    EXPECT_EQ(board.Opens(), 0);
}

class AbsentPort final : public ISerialPortFactory {
public:
    std::unique_ptr<ISerialPort> Open(const std::string&) override
    {
        ++opens;
        return nullptr;
    }
    PortOpenError LastOpenError() const override { return {PortOpenFailure::NoSuchDevice, ""}; }
    std::atomic<int> opens{0};
};

TEST(SerialJob, AnAbsentPortIsReopenedUntilTheJobIsStopped)
{
    AbsentPort ports;
    JobHarness harness(ports);
    ASSERT_TRUE(harness.Prepare(RandomBytes(10, 1), kMac));
    ASSERT_TRUE(harness.RunUntil([&](const Codes&) { return ports.opens >= 4; }));
    harness.Stop();
    EXPECT_THAT(harness.Statuses(), ElementsAre(kStatusOpeningPort, kStatusOpenFailed, kStatusDisconnected));
    EXPECT_TRUE(harness.job.writer->HasEnded());
}

TEST(SerialJob, UnplugWhilePollingThenReplugConnects)
{
    SimOptions options = MemoryBoard::FastOptions();
    options.unplugAt = SimPhase::Poll;
    options.replugAfter = std::chrono::milliseconds(40);
    MemoryBoard board(options);
    MemoryPortFactory ports(board);
    JobHarness harness(ports);
    ASSERT_TRUE(harness.Prepare(RandomBytes(200, 4), kMac));
    harness.RunToEnd();
    const Codes statuses = harness.Statuses();
    ASSERT_GE(statuses.size(), 5u);
    EXPECT_THAT(Codes(statuses.begin(), statuses.begin() + 4), ElementsAreArray(kReconnected));
    EXPECT_EQ(statuses.back(), kStatusSuccess);
    EXPECT_EQ(board.Flash(), harness.ExpectedFlash());
}

TEST(SerialJob, StopDuringTheEraseWaitSendsNothingMore)
{
    SimOptions options = MemoryBoard::FastOptions();
    options.eraseTime = std::chrono::milliseconds(200);
    MemoryBoard board(options);
    MemoryPortFactory ports(board);
    JobHarness harness(ports);
    ASSERT_TRUE(harness.Prepare(RandomBytes(200, 4), kMac));
    ASSERT_TRUE(harness.RunUntil([](const Codes& s) { return CountOf(s, kStatusSecondStageLoaderRunning) > 0; }));
    harness.Stop();
    EXPECT_THAT(harness.Statuses(), ElementsAreArray(kLoaded));
    EXPECT_TRUE(harness.Progress().empty());
    EXPECT_TRUE(harness.job.writer->HasEnded());
}

TEST(SerialJob, StopWhileProgrammingLeavesNoHeader)
{
    MemoryBoard board(MemoryBoard::FastOptions());
    MemoryPortFactory ports(board);
    JobHarness harness(ports);
    ASSERT_TRUE(harness.Prepare(RandomBytes(60000, 4), kMac));
    ASSERT_TRUE(harness.RunUntil([](const Codes& s) { return CountOf(s, kStatusProgrammingFlash) > 0; }));
    harness.Stop();
    EXPECT_EQ(harness.Statuses().back(), kStatusProgrammingFlash);
    const auto flash = board.Flash();
    EXPECT_NE(std::string(flash.begin(), flash.begin() + 4), "OKOK");
}

// A cable that stops taking bytes at the first write `fails` picks out, and
// counts what the job asks of the port after that.
class FailingWrites final : public ISerialPortFactory {
public:
    using Pick = std::function<bool(std::span<const std::uint8_t>)>;
    FailingWrites(MemoryBoard& board, Pick fails) : inner(board), fails(std::move(fails)) {}

    std::unique_ptr<ISerialPort> Open(const std::string& name) override
    {
        auto port = inner.Open(name);
        return port ? std::make_unique<Port>(*this, std::move(port)) : nullptr;
    }
    PortOpenError LastOpenError() const override { return inner.LastOpenError(); }

    std::atomic<bool> failed{false};
    std::atomic<int> usedAfterFailure{0};

private:
    class Port final : public ISerialPort {
    public:
        Port(FailingWrites& owner, std::unique_ptr<ISerialPort> inner) : owner(owner), inner(std::move(inner)) {}
        bool Write(std::span<const std::uint8_t> bytes) override
        {
            if (Used() || owner.fails(bytes))
                return !(owner.failed = true);
            return inner->Write(bytes);
        }
        std::optional<std::size_t> WaitForBytes(std::size_t count, std::chrono::microseconds wait) override
        {
            Used();
            return inner->WaitForBytes(count, wait);
        }
        std::optional<std::size_t> BytesWaiting() override
        {
            Used();
            return inner->BytesWaiting();
        }
        std::optional<std::size_t> Read(std::span<std::uint8_t> into, std::chrono::microseconds wait) override
        {
            Used();
            return inner->Read(into, wait);
        }
        void Close() override { inner->Close(); }

    private:
        bool Used()
        {
            if (owner.failed)
                ++owner.usedAfterFailure;
            return owner.failed;
        }
        FailingWrites& owner;
        std::unique_ptr<ISerialPort> inner;
    };

    MemoryPortFactory inner;
    Pick fails;
};

struct WriteFailureCase {
    const char* name;
    FailingWrites::Pick fails;
    std::int32_t status;
};

void PrintTo(const WriteFailureCase& c, std::ostream* os) { *os << c.name; }

class FailedWrite : public ::testing::TestWithParam<WriteFailureCase> {};

TEST_P(FailedWrite, EndsTheStepAtOnceWithItsStatus)
{
    MemoryBoard board(MemoryBoard::FastOptions());
    FailingWrites ports(board, GetParam().fails);
    JobHarness harness(ports);
    ASSERT_TRUE(harness.Prepare(RandomBytes(300, 5), kMac));
    harness.RunToEnd();
    EXPECT_TRUE(ports.failed);
    EXPECT_EQ(harness.Statuses().back(), GetParam().status);
    EXPECT_EQ(ports.usedAfterFailure, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailedWrite,
    ::testing::Values(
        WriteFailureCase{"LengthWord", [](auto bytes) { return bytes.size() == 4 && bytes[0] == 0xD0; },
                         kStatusSecondStageLoaderError},
        WriteFailureCase{"Loader", [](auto bytes) { return bytes.size() > 1000; }, kStatusSecondStageLoaderError},
        WriteFailureCase{"Erase",
                         [](auto bytes) { return std::ranges::equal(bytes, kEraseCommand); },
                         kStatusEraseError},
        WriteFailureCase{"SecondPacketHeader",
                         [n = std::make_shared<int>(0)](auto bytes) {
                             return bytes.size() == kPacketHeaderSize && bytes[1] == kWriteCommand &&
                                    ++*n == 2;
                         },
                         kStatusProgrammingFailed},
        WriteFailureCase{"PacketPayload", [](auto bytes) { return bytes.size() == 120; },
                         kStatusProgrammingFailed}),
    [](const auto& info) { return std::string(info.param.name); });

struct StopCase {
    const char* name;
    std::function<void(SimOptions&)> silence;
    std::int32_t lastStatus;  // the job waits for the board's answer after this one
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class StopInAWait : public ::testing::TestWithParam<StopCase> {};

// Every wait is bounded by an hour here: only the stop can end it in time.
TEST_P(StopInAWait, EndsTheJobWithoutWaitingForTheBoard)
{
    SimOptions options = MemoryBoard::FastOptions();
    GetParam().silence(options);
    MemoryBoard board(options);
    MemoryPortFactory ports(board);
    SerialTiming timing = QuickTiming();
    timing.packetAnswer = timing.replyReadLimit = std::chrono::hours(1);
    JobHarness harness(ports, timing);
    ASSERT_TRUE(harness.Prepare(RandomBytes(300, 5), kMac));
    const std::int32_t last = GetParam().lastStatus;
    ASSERT_TRUE(harness.RunUntil([last](const Codes& s) { return CountOf(s, last) > 0; }));
    harness.Stop();
    EXPECT_TRUE(harness.job.writer->HasEnded());
    EXPECT_EQ(harness.Statuses().back(), last);
}

INSTANTIATE_TEST_SUITE_P(
    Waits, StopInAWait,
    ::testing::Values(
        StopCase{"ForReady", [](SimOptions& o) { o.readyText.clear(); }, kStatusSecondStageLoaderDownload},
        StopCase{"ForTheEraseReply", [](SimOptions& o) { o.eraseTime = std::chrono::hours(2); },
                 kStatusSecondStageLoaderRunning},
        StopCase{"ForAnAcknowledgement", [](SimOptions& o) { o.missingAckPacket = 1; },
                 kStatusProgrammingFlash}),
    [](const auto& info) { return std::string(info.param.name); });

struct GreetingCase {
    const char* name;
    std::function<void(SimOptions&)> greeting;
    bool connects;
};

class GreetingRule : public ::testing::TestWithParam<GreetingCase> {};

TEST_P(GreetingRule, ConnectsOnlyOnSevenOrEightBytesEndingInConnect)
{
    SimOptions options = MemoryBoard::FastOptions();
    options.pieceGap = std::chrono::milliseconds(40);
    GetParam().greeting(options);
    MemoryBoard board(options);
    MemoryPortFactory ports(board);
    JobHarness harness(ports);
    ASSERT_TRUE(harness.Prepare(RandomBytes(100, 4), kMac));
    const bool connected = harness.RunUntil(
        [](const Codes& s) { return CountOf(s, kStatusConnected) > 0 || CountOf(s, kStatusWaitingForReset) >= 8; });
    harness.Stop();
    EXPECT_TRUE(connected);
    EXPECT_EQ(CountOf(harness.Statuses(), kStatusConnected) > 0, GetParam().connects);
}

INSTANTIATE_TEST_SUITE_P(
    Greetings, GreetingRule,
    ::testing::Values(GreetingCase{"Plain", [](SimOptions&) {}, true},
                      GreetingCase{"OneStrayByte", [](SimOptions& o) { o.strayBytes = 1; }, true},
                      GreetingCase{"TwoStrayBytes", [](SimOptions& o) { o.strayBytes = 2; }, false},
                      GreetingCase{"InThreePieces", [](SimOptions& o) { o.greetingPieces = 3; }, true},
                      GreetingCase{"StrayByteAndPieces",
                                   [](SimOptions& o) {
                                       o.strayBytes = 1;
                                       o.greetingPieces = 2;
                                   },
                                   true},
                      // "xCONNEC" is complete before its last byte: judging it then would lose it.
                      GreetingCase{"StrayByteThenGreetingByteByByte",
                                   [](SimOptions& o) {
                                       o.strayBytes = 1;
                                       o.greetingPieces = 7;
                                       o.pieceGap = std::chrono::milliseconds(1);
                                   },
                                   true},
                      GreetingCase{"TrailingByte", [](SimOptions& o) { o.trailingBytes = 1; }, false},
                      GreetingCase{"NeverGreets", [](SimOptions& o) { o.neverGreet = true; }, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
