#include "platform/serial_port.h"

std::string DescribeOpenError(const PortOpenError& error)
{
    const std::string detail = error.detail.empty() ? "" : " (" + error.detail + ")";
    switch (error.reason) {
    case PortOpenFailure::None:
        return {};
    case PortOpenFailure::NoSuchDevice:
        return "No such serial port" + detail +
               ". Check that the board is plugged in and the port name is right.";
    case PortOpenFailure::PermissionDenied:
        return "Permission denied" + detail +
               ". Add yourself to the group that owns the port (usually dialout: "
               "sudo usermod -aG dialout $USER), then log in again.";
    case PortOpenFailure::Busy:
        return "The port is in use by another program" + detail + ". Close it and try again.";
    case PortOpenFailure::NotASerialPort:
        return "This is not a serial port" + detail + ".";
    case PortOpenFailure::Other:
        return "The port could not be opened" + detail + ".";
    }
    return {};
}
