#pragma once
// Captures the application's message boxes for the lifetime of the object.

#include "platform/message_box.h"

#include <mutex>
#include <string>
#include <vector>

class CapturedMessages final : public IMessageBoxSink {
public:
    CapturedMessages();
    ~CapturedMessages() override;

    void Show(std::string_view text) override;
    std::vector<std::string> Texts() const;

private:
    IMessageBoxSink* previous;
    mutable std::mutex mutex;
    std::vector<std::string> texts;
};
