#pragma once
// A message target served by one receiving thread: posts and sends from any
// thread are queued in order; the receiver runs them through its handler with
// Dispatch. A sender waits until its own message has been handled.

#include "job/messages.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class CMessageQueue final : public IMessageTarget {
public:
    using Handler = std::function<LParam(unsigned message, WParam wparam, LParam lparam)>;

    explicit CMessageQueue(Handler handler);
    ~CMessageQueue() override;

    void Post(unsigned message, WParam wparam, LParam lparam) override;
    LParam Send(unsigned message, WParam wparam, LParam lparam) override;

    // Receiver side: handles every message queued now; returns how many.
    int DispatchPending();
    // Receiver side: waits up to `timeout` for a message, then handles all
    // queued ones. Returns how many were handled.
    int DispatchFor(std::chrono::milliseconds timeout);
    // Wakes a receiver blocked in DispatchFor without a message.
    void Wake();

private:
    struct Item;
    std::unique_ptr<Item> TakeFront();

    Handler handler;
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<std::unique_ptr<Item>> items;
    bool woken = false;
};
