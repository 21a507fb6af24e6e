#include "jlink/tool_file_names.h"

#include <cstdio>

std::string PieceFileName(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "temp_image_%.2d.bin", index);
    return name;
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (path.empty() || path.back() != kPathSeparator)
        path += kPathSeparator;
    path += name;
    return path;
}

std::string WorkRelativePath(std::string_view name) { return JoinPath(kWorkFolderName, name); }

std::string ToolRelativePath() { return JoinPath(kToolFolderName, kToolFileName); }

std::string LoadingPieceMarker()
{
    return "Loading binary file... [" + WorkRelativePath("temp_image_");
}

std::string DownloadingPieceMarker() { return "Downloading file [" + WorkRelativePath("temp_image_"); }
