#pragma once
// Why FlashImage::Load refused a file, as a value its caller shows: the
// message first, then the file it is about.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

struct ImageProblem {
    std::string message;  // the first line the user reads, e.g. "ERROR: File has size 0 !"
    std::string path;
    int line = 0;         // the S-record line refused; 0 for the file as a whole
    std::string reason;   // why, when more than the message says; may be empty

    // The message, then on a line of its own the path and, unless empty, why.
    std::string Text() const;
};

ImageProblem FileProblem(std::string_view message, const std::string& path, std::string_view reason);

// "ERROR: Line N of the S-record file ..." for the line that is refused.
ImageProblem LineProblem(const std::string& path, int line, std::string_view problem);

// What a load came to: the image in memory, or the problem. A load that
// succeeds may still carry a warning for the user.
struct ImageLoad {
    std::optional<ImageProblem> problem;
    std::string warning;

    explicit operator bool() const { return !problem; }
    // What the user must read, in order; empty when all went well.
    std::vector<std::string> Messages() const;
    // The same, a line each, for a console.
    void Tell(std::ostream& out) const;
};
