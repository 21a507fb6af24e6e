#include "images/image_problem.h"

std::string ImageProblem::Text() const
{
    std::string text = message + "\n" + path;
    if (!reason.empty())
        text += ": " + reason;
    return text;
}

ImageProblem FileProblem(std::string_view message, const std::string& path, std::string_view reason)
{
    return {std::string(message), path, 0, std::string(reason)};
}

ImageProblem LineProblem(const std::string& path, int line, std::string_view problem)
{
    return {"ERROR: Line " + std::to_string(line) + " of the S-record file " + std::string(problem) +
                "!",
            path, line, {}};
}

void ImageLoad::Tell(std::ostream& out) const
{
    for (const std::string& message : Messages())
        out << message << "\n";
}

std::vector<std::string> ImageLoad::Messages() const
{
    std::vector<std::string> messages;
    if (!warning.empty())
        messages.push_back(warning);
    if (problem)
        messages.push_back(problem->Text());
    return messages;
}
