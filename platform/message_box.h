#pragma once
// The application's message box: modal over the main window in the dialog,
// standard error on the command line, captured in tests. Shown from any
// thread, image reading and the monitors included.

#include <string_view>

class IMessageBoxSink {
public:
    virtual ~IMessageBoxSink() = default;
    virtual void Show(std::string_view text) = 0;
};

// Shows `text` through the installed sink (standard error when none is).
void ShowMessageBox(std::string_view text);

// Installs the process's sink; returns the previous one. The sink must
// outlive its installation. Install before any thread that may show a box.
IMessageBoxSink* SetMessageBoxSink(IMessageBoxSink* sink);
