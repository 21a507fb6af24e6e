#pragma once
// A message box as a window shows one: modal over the window, or wherever a
// test or a console puts it instead. Whoever shows messages is given one;
// there is no box of the process.

#include <string_view>

class IMessageBoxSink {
public:
    virtual ~IMessageBoxSink() = default;
    virtual void Show(std::string_view text) = 0;
};
