// Any bytes in a file with an S-record name. FlashImage::Load either refuses the
// file, saying why, and holds no image, or holds an image
// that fits its block, with every byte past the image still erased flash and
// every address run inside the image.

#include "images/flash_image.h"

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::string folder;

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

// One file per process, in a folder of its own below $TMPDIR, so that
// parallel runs do not write over each other's input. With $TMPDIR in memory
// (scripts/fuzz does that) a run takes a fraction of the time it takes on a
// disk, which flushes a file rewritten from empty.
const std::string& ImagePath()
{
    static const std::string path = [] {
        folder = (std::filesystem::temp_directory_path() / "quillmark-fuzz-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            std::abort();
        std::atexit(RemoveFolder);
        return folder + "/image.s19";
    }();
    return path;
}

void WriteFile(const std::string& path, const std::uint8_t* bytes, std::size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(bytes, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
}

}  // namespace


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string& path = ImagePath();
    FUZZ_CHECK(FlashImage::IsSRecordPath(path));
    WriteFile(path, bytes, size);

    FlashImage image;
    if (const ImageLoad load = image.Load(path); !load) {
        FUZZ_CHECK(image.data == nullptr);
        FUZZ_CHECK(!load.problem->message.empty() && load.problem->path == path);
        return 0;
    }
    FUZZ_CHECK(image.buffer != nullptr);
    FUZZ_CHECK(image.data == image.buffer.get());
    FUZZ_CHECK(image.length > 0);
    FUZZ_CHECK(image.length <= FlashImage::kBlockSize);
    static const std::vector<std::uint8_t> erased(FlashImage::kBlockSize, 0xFF);
    FUZZ_CHECK(std::memcmp(image.data + image.length, erased.data(),
                           FlashImage::kBlockSize - image.length) == 0);
    for (const AddressInterval& run : image.intervals) {
        FUZZ_CHECK(run.start < run.end);
        FUZZ_CHECK(run.end <= image.length);
    }
    return 0;
}
