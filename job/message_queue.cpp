#include "job/message_queue.h"

#include <future>

struct CMessageQueue::Item {
    unsigned message;
    WParam wparam;
    LParam lparam;
    std::promise<LParam> handled;  // fulfilled for sends; unused for posts
    bool isSend;
};

CMessageQueue::CMessageQueue(Handler handler) : handler(std::move(handler)) {}

CMessageQueue::~CMessageQueue() = default;

void CMessageQueue::Post(unsigned message, WParam wparam, LParam lparam)
{
    auto item = std::make_unique<Item>(Item{message, wparam, lparam, {}, false});
    {
        std::lock_guard lock(mutex);
        items.push_back(std::move(item));
    }
    arrived.notify_all();
}

LParam CMessageQueue::Send(unsigned message, WParam wparam, LParam lparam)
{
    auto item = std::make_unique<Item>(Item{message, wparam, lparam, {}, true});
    std::future<LParam> result = item->handled.get_future();
    {
        std::lock_guard lock(mutex);
        items.push_back(std::move(item));
    }
    arrived.notify_all();
    return result.get();
}

std::unique_ptr<CMessageQueue::Item> CMessageQueue::TakeFront()
{
    std::lock_guard lock(mutex);
    if (items.empty())
        return nullptr;
    auto item = std::move(items.front());
    items.pop_front();
    return item;
}

int CMessageQueue::DispatchPending()
{
    int count = 0;
    while (auto item = TakeFront()) {
        LParam result = handler(item->message, item->wparam, item->lparam);
        if (item->isSend)
            item->handled.set_value(result);
        ++count;
    }
    return count;
}

int CMessageQueue::DispatchFor(std::chrono::milliseconds timeout)
{
    {
        std::unique_lock lock(mutex);
        arrived.wait_for(lock, timeout, [this] { return !items.empty() || woken; });
        woken = false;
    }
    return DispatchPending();
}

void CMessageQueue::Wake()
{
    {
        std::lock_guard lock(mutex);
        woken = true;
    }
    arrived.notify_all();
}
