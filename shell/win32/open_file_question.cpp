#include "shell/win32/open_file_question.h"

#include "platform/win32/wide_text.h"

#include <commdlg.h>

std::wstring FilterText(const OpenFileQuestion& question)
{
    std::wstring text;
    for (const OpenFileFilter& filter : question.filters) {
        std::string patterns;
        for (const std::string& pattern : filter.patterns)
            patterns += (patterns.empty() ? "" : ";") + pattern;
        // The description names the patterns itself, as the box shows only
        // the description.
        text += Widen(std::string(filter.description) + " (" + patterns + ")");
        text.push_back(L'\0');
        text += Widen(patterns);
        text.push_back(L'\0');
    }
    text.push_back(L'\0');
    return text;
}

std::optional<std::string> AskOpenFileName(HWND owner, const OpenFileQuestion& question)
{
    const std::wstring filters = FilterText(question);
    const std::wstring title = Widen(question.title);
    const std::wstring folder = Widen(question.startFolder);
    const std::wstring extension = Widen(question.defaultExtension);
    // Long paths fit: the box reports a name that does not as a failure.
    std::wstring path(32768, L'\0');
    OPENFILENAMEW box{};
    box.lStructSize = sizeof(box);
    box.hwndOwner = owner;
    box.lpstrFilter = filters.c_str();
    box.nFilterIndex = 1;
    box.lpstrFile = path.data();
    box.nMaxFile = static_cast<DWORD>(path.size());
    box.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    box.lpstrTitle = title.c_str();
    box.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (question.pathMustExist)
        box.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    else
        // The box appends the default extension to every name without a dot,
        // so an existing image called "firmware" would come back as a missing
        // "firmware.bin": only a file that need not exist gets one.
        box.lpstrDefExt = extension.c_str();
    if (!GetOpenFileNameW(&box))
        return std::nullopt;
    return Narrow(path.c_str());
}
