#pragma once
// Bytes placed so that they end right at an inaccessible page: a parser that
// reads one byte past the end crashes the test instead of passing by luck.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class GuardedBytes {
public:
    explicit GuardedBytes(std::span<const std::uint8_t> bytes);
    ~GuardedBytes();
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    std::span<const std::uint8_t> Span() const { return {data, size}; }

private:
    std::uint8_t* mapping = nullptr;
    std::size_t mappingSize = 0;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

std::vector<std::uint8_t> ReadTestData(const char* name);
