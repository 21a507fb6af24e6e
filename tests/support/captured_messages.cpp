#include "support/captured_messages.h"

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
