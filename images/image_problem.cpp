#include "images/image_problem.h"

#include "platform/message_box.h"

void ShowFileProblem(std::string_view message, const std::string& path, std::string_view reason)
{
    std::string text = std::string(message) + "\n" + path;
    if (!reason.empty())
        text += ": " + std::string(reason);
    ShowMessageBox(text);
}

void ShowLineProblem(const std::string& path, int line, std::string_view problem)
{
    ShowFileProblem("ERROR: Line " + std::to_string(line) + " of the S-record file " +
                        std::string(problem) + "!",
                    path, {});
}
