#pragma once
// One image entry: a file found in the program folder, or one the user browsed to.

#include <string>

struct CBinFile {
    enum Kind : int { FolderFile = 0, BrowsedFile = 1 };
    Kind kind = FolderFile;
    std::string path;  // full path
    std::string name;  // the part of the path after its last separator
    bool operator==(const CBinFile&) const = default;
};
