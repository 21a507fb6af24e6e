// Loading the second-stage loader, erasing and programming: everything after
// the bootloader has greeted.

#include "serial/serial_writer.h"

#include "data/target_code.h"
#include "flash/flash_layout.h"
#include "job/board_info.h"
#include "job/status_codes.h"
#include "serial/wire_protocol.h"

#include <algorithm>

bool CSerialWriter::LoadAndProgram()
{
    ReportStatus(kStatusLoaderDownload);
    const auto loader = SecondStageLoader();
    // A write that fails (the cable was pulled) ends the step at once: there
    // is no answer to wait for.
    std::array<std::uint8_t, 6> ready{};
    if (port->Write(LengthWord(static_cast<std::uint32_t>(loader.size()))) && port->Write(loader))
        ReadReply({ready.data(), 5}, timing.loaderAnswer);
    StopCheck();
    if (!IsReady(ready)) {
        ReportStatus(kStatusLoaderError);
        return false;
    }
    ReportStatus(kStatusLoaderRunning);
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

// The image in packets from flash address 8, then the header at 0: a board
// holds "OKOK" only once every image byte has been acknowledged.
bool CSerialWriter::ProgramImage()
{
    // The loaded image's length, not the file's size on disk: they differ
    // for S-record files.
    const std::uint32_t length = request->image.length;
    const std::uint8_t* image = request->image.buffer.get();
    ReportStatus(kStatusProgrammingFlash);
    std::uint32_t address = kHeaderSize;
    for (std::uint32_t remaining = length; remaining != 0;) {
        const std::uint32_t n = std::min<std::uint32_t>(remaining, kMaxPayload);
        std::copy_n(image + (address - kHeaderSize), n, packetBuffer.begin());
        StopCheck();
        if (!WritePacket(address, {packetBuffer.data(), n}))
            return false;
        ReportProgress(ProgressPercent(address, length));
        address += n;
        remaining -= n;
    }
    ReportProgress(100);
    const auto header = MakeFlashHeader(length);
    std::copy(header.begin(), header.end(), packetBuffer.begin());
    if (!WritePacket(0, {packetBuffer.data(), header.size()}))
        return false;
    StopCheck();
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
