#pragma once
// The station's sense of time, for the wait for a board and the pool's
// retries: a test moves it on instead of waiting.

#include <chrono>

class IClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~IClock() = default;
    virtual TimePoint Now() const = 0;
};

class SteadyClock final : public IClock {
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};
