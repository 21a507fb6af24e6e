#include "guarded_bytes.h"

#include "support/temp_dir.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string>

GuardedBytes::GuardedBytes(std::span<const std::uint8_t> bytes) : size(bytes.size()) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t dataPages = (bytes.size() + page - 1) / page;
    mappingSize = (dataPages + 1) * page;
    void* memory = mmap(nullptr, mappingSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                        -1, 0);
    if (memory == MAP_FAILED) throw std::runtime_error("mmap failed");
    mapping = static_cast<std::uint8_t*>(memory);
    std::uint8_t* guard = mapping + dataPages * page;
    mprotect(guard, page, PROT_NONE);
    std::uint8_t* start = guard - bytes.size();
    if (!bytes.empty()) std::memcpy(start, bytes.data(), bytes.size());
    data = start;
}

GuardedBytes::~GuardedBytes() { munmap(mapping, mappingSize); }

std::vector<std::uint8_t> ReadTestData(const char* name) {
    std::string path = CONTROLS_TEST_DATA;
    path.append("/").append(name);
    return ReadFileBytes(path);
}
