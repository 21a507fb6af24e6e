// Loading the second-stage loader, erasing and programming: everything after
// the bootloader has greeted.

#include "serial/serial_writer.h"

#include "data/target_code.h"
#include "flash/flash_layout.h"
#include "flash/flash_plan.h"
#include "job/board_info.h"
#include "job/mac_address.h"
#include "job/status_codes.h"
#include "serial/wire_protocol.h"

#include <algorithm>

bool CSerialWriter::LoadAndProgram()
{
    ReportStatus(kStatusSecondStageLoaderDownload);
    const auto loader = SecondStageLoader();
    // A write that fails (the cable was pulled) ends the step at once: there
    // is no answer to wait for.
    std::array<std::uint8_t, 6> ready{};
    if (port->Write(LengthWord(static_cast<std::uint32_t>(loader.size()))) && port->Write(loader))
        ReadReply({ready.data(), 5}, timing.loaderAnswer);
    StopCheck();
    if (!IsReady(ready)) {
        ReportStatus(kStatusSecondStageLoaderError);
        return false;
    }
    ReportStatus(kStatusSecondStageLoaderRunning);
    StopCheck();
    if (!EraseFlash()) {
        ReportStatus(kStatusEraseError);
        return false;
    }
    StopCheck();
    ReportStatus(kStatusFlashErased);
    return ProgramImage();
}

bool CSerialWriter::EraseFlash()
{
    if (!port->Write(kEraseCommand))
        return false;
    std::array<std::uint8_t, kEraseReplySize> reply{};
    ReadReply(reply, timing.eraseAnswer);
    return IsEraseDone(reply);
}

// The plan's image write, then its header: a board holds "OKOK" only once
// every image byte has been acknowledged.
bool CSerialWriter::ProgramImage()
{
    // From the loaded image, not the file on disk: they differ for S-record files.
    const FlashPlan plan(request->image.Bytes(), MacTextToBytes(request->macText),
                         ShortImage::KeepLength);
    ReportStatus(kStatusProgrammingFlash);
    if (!WriteInPackets(plan.ImageWrite(), plan.ImageLength()))
        return false;
    ReportProgress(100);
    static_assert(kHeaderSize <= kMaxPayload, "the header goes in one packet");
    const FlashWrite header = plan.HeaderWrite();
    if (!WritePacket(header.address, header.bytes))
        return false;
    StopCheck();
    return true;
}

// The plan's writes are cut into packets here, not made packet-sized by the
// plan: the payload limit belongs to the serial wire, and the J-Link job cuts
// the same write by its own buffer.
bool CSerialWriter::WriteInPackets(const FlashWrite& write, std::uint32_t imageLength)
{
    for (std::size_t offset = 0; offset < write.bytes.size(); offset += kMaxPayload) {
        const auto payload =
            write.bytes.subspan(offset, std::min(kMaxPayload, write.bytes.size() - offset));
        const std::uint32_t address = write.address + static_cast<std::uint32_t>(offset);
        StopCheck();
        if (!WritePacket(address, payload))
            return false;
        ReportProgress(ProgressPercent(address, imageLength));
    }
    return true;
}

bool CSerialWriter::WritePacket(std::uint32_t address, std::span<const std::uint8_t> payload)
{
    const auto header = PacketHeader(address, payload.size());
    const std::uint8_t check = PacketCheckByte(address, payload);
    const bool sent = port->Write(header) && port->Write(payload) && port->Write({&check, 1});
    if (sent && AcknowledgementArrived())
        return true;
    ReportStatus(kStatusProgrammingFailed);
    return false;
}

// Exactly 8 bytes waiting, 'W' the second: there is no retry.
bool CSerialWriter::AcknowledgementArrived()
{
    const std::optional<std::size_t> count = AwaitAcknowledgement();
    if (count != kAcknowledgementSize)
        return false;
    std::array<std::uint8_t, kAcknowledgementSize> reply{};
    const std::chrono::microseconds now(0);
    if (!port->Read({reply.data(), 2}, now))
        return false;
    if (reply[1] == kWriteCommand) {
        port->Read({reply.data() + 2, 6}, now);
        return true;
    }
    port->Read({reply.data() + 2, 2}, now);
    return false;
}
