// Our SHA-256 against the system's sha256sum, on lengths around every
// padding boundary and on a file as large as an image.

#include "station/sha256.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

std::string SystemDigest(const std::string& path)
{
    const auto result = RunCommand(CommandLine({"sha256sum", path}));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return result.output.substr(0, 64);
}

TEST(Sha256, AgreesWithSha256sum)
{
    TempDir dir;
    std::size_t files = 0;
    for (std::size_t length : {0, 1, 3, 55, 56, 57, 63, 64, 65, 119, 120, 127, 128, 1000, 131063}) {
        const auto bytes = RandomBytes(length, static_cast<std::uint32_t>(length) + 1);
        const std::string path = dir.Write("data" + std::to_string(length), bytes);
        const std::string expected = SystemDigest(path);
        EXPECT_EQ(Sha256Hex(bytes), expected) << length;
        EXPECT_EQ(Sha256OfFile(path), expected) << length;
        // Fed in uneven pieces, the same digest.
        Sha256 pieces;
        for (std::size_t at = 0; at < bytes.size(); at += 7)
            pieces.Update(std::span(bytes).subspan(at, std::min<std::size_t>(7, bytes.size() - at)));
        EXPECT_EQ(pieces.HexDigest(), expected) << length;
        ++files;
    }
    EXPECT_EQ(files, 15u);
    EXPECT_EQ(Sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_FALSE(Sha256OfFile(dir / "missing"));
}

}  // namespace
