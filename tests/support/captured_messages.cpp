#include "support/captured_messages.h"

CapturedMessages::CapturedMessages() : previous(SetMessageBoxSink(this)) {}

CapturedMessages::~CapturedMessages() { SetMessageBoxSink(previous); }

void CapturedMessages::Show(std::string_view text)
{
    std::lock_guard lock(mutex);
    texts.emplace_back(text);
}

std::vector<std::string> CapturedMessages::Texts() const
{
    std::lock_guard lock(mutex);
    return texts;
}
