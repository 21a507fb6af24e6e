#pragma once
// The program's texts are UTF-8; Qt's are QString.

#include <QString>

#include <string_view>

inline QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
