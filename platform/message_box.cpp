#include "platform/message_box.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace {

class StandardErrorSink final : public IMessageBoxSink {
public:
    void Show(std::string_view text) override
    {
        std::string line(text);
        line += '\n';
        std::fputs(line.c_str(), stderr);
    }
};

StandardErrorSink standardError;
std::atomic<IMessageBoxSink*> installed{&standardError};

}  // namespace

void ShowMessageBox(std::string_view text) { installed.load()->Show(text); }

IMessageBoxSink* SetMessageBoxSink(IMessageBoxSink* sink)
{
    return installed.exchange(sink ? sink : &standardError);
}
