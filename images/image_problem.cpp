#include "images/image_problem.h"

#include "app/message_box.h"

void ShowLineProblem(int line, std::string_view problem)
{
    ShowMessageBox("ERROR: Line " + std::to_string(line) + " of the S-record file " +
                   std::string(problem) + "!");
}

void ShowFileProblem(std::string_view message, const std::string& path, std::string_view reason)
{
    ShowMessageBox(std::string(message) + "\n" + path + ": " + std::string(reason));
}
