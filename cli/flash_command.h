#pragma once
// quillmark-flash flash: programs a board over its serial port or through the
// J-Link tool, with the same jobs as the dialog.

#include <string>

struct FlashOptions {
    std::string image;
    std::string mac;           // 16 upper-case hexadecimal digits
    std::string port;          // serial: kernel tty name or path
    bool jlink = false;        // program through the J-Link tool instead
    std::string jlinkTool;     // overrides where the tool is looked for
    std::string timing = "prompt";  // serial: prompt or fixed
    int waitSeconds = 30;      // serial: how long to wait for the board
    bool events = false;       // --events json: JSON lines out, prose to standard error
};

// Each returns the process's exit code.
int RunSerialFlash(const FlashOptions& options);
int RunJLinkFlash(const FlashOptions& options);
