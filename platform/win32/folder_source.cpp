#include "platform/win32/folder_source.h"

#include "platform/win32/wide_text.h"

namespace {

std::wstring PatternIn(const std::string& folder)
{
    const bool separated = folder.empty() || folder.back() == '\\' || folder.back() == '/';
    return Widen(folder + (separated ? "" : "\\") + "*.bin");
}

// The pattern also matches through a name's 8.3 short form where the volume
// keeps one: "fw.binary" is FW~1.BIN there. Only a name that really ends in
// .bin, in any case, is an image.
bool EndsInBin(std::wstring_view name)
{
    constexpr std::wstring_view kBin = L".bin";
    return name.size() >= kBin.size() &&
           ::CompareStringOrdinal(name.data() + name.size() - kBin.size(), static_cast<int>(kBin.size()), kBin.data(),
                                  static_cast<int>(kBin.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

CWin32FolderSource::~CWin32FolderSource()
{
    if (notification != INVALID_HANDLE_VALUE)
        ::FindCloseChangeNotification(notification);
}

// No attribute filter: a folder named like an image is listed too, and the
// load tells the user what it is.
std::vector<std::string> CWin32FolderSource::ListBinFiles(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    const HANDLE search = ::FindFirstFileW(PatternIn(folder).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (EndsInBin(entry.cFileName))
            names.push_back(Narrow(entry.cFileName));
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return names;
}

// File names only: writes to an image do not count, and neither do
// subfolders coming and going or what happens inside them.
bool CWin32FolderSource::Watch(const std::string& folder)
{
    if (notification != INVALID_HANDLE_VALUE)
        ::FindCloseChangeNotification(notification);
    watched = folder;
    notification = ::FindFirstChangeNotificationW(Widen(folder).c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    armed = notification != INVALID_HANDLE_VALUE;
    if (!armed)
        failedCall = CallFailure("FindFirstChangeNotificationW", folder, ::GetLastError());
    return armed;
}

bool CWin32FolderSource::Rearm()
{
    armed = ::FindNextChangeNotification(notification) != FALSE;
    if (!armed)
        failedCall = CallFailure("FindNextChangeNotification", watched, ::GetLastError());
    return armed;
}

// Re-armed as soon as a change is seen, before the caller lists the folder,
// so that a name changed during the listing is the next change. A failed
// re-arm still reports the change it followed; the next wait fails. The
// request belongs to the thread that makes it and is signalled when that
// thread ends, so every wait after the first belongs on one thread (the
// watch thread); a Watch() from a thread that ends costs one rescan.
WaitOutcome CWin32FolderSource::WaitForChange()
{
    if (notification == INVALID_HANDLE_VALUE) {
        if (failedCall.empty())
            failedCall = "FindFirstChangeNotificationW (no folder watched)";
        return WaitOutcome::Failed;
    }
    if (!armed && !Rearm())
        return WaitOutcome::Failed;
    const WaitOutcome outcome = wake.Wait(notification, failedCall);
    if (outcome == WaitOutcome::Changed)
        Rearm();
    return outcome;
}

void CWin32FolderSource::Wake() { wake.Set(); }

std::string CWin32FolderSource::FailedCall() const { return failedCall; }
