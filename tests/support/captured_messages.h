#pragma once
// A message box that keeps what it is shown, for a window under test: a real
// modal box would stop the test.

#include "platform/message_box.h"

#include <mutex>
#include <string>
#include <vector>

class CapturedMessages final : public IMessageBoxSink {
public:
    void Show(std::string_view text) override;
    std::vector<std::string> Texts() const;

private:
    mutable std::mutex mutex;
    std::vector<std::string> texts;
};
