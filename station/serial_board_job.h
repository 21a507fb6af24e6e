#pragma once
// The station's boards programmed over their serial ports, each by the
// dialog's serial job with a port factory of its own.

#include "serial/serial_timing.h"
#include "station/board_job.h"

#include <string>

struct SerialBoardSettings {
    std::string image;  // as the user named it
    SerialTiming timing = SerialTiming::Prompt();
    std::string devRoot;  // empty: port names are opened as given
};

class SerialBoardJobFactory final : public IBoardJobFactory {
public:
    explicit SerialBoardJobFactory(SerialBoardSettings settings) : settings(std::move(settings)) {}
    std::unique_ptr<IBoardJob> Make(const std::string& port, const std::string& mac,
                                    IMessageTarget& target) override;

private:
    const SerialBoardSettings settings;
};
