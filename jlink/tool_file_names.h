#pragma once
// The names the J-Link job shares with the tool: the work folder and its files
// as the command script names them, the tool below the program folder, and
// the tool's output markers. The script's paths are relative to the tool's
// working directory (the temporary folder) and use this platform's separator,
// the only place where it is chosen.

#include <string>
#include <string_view>

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

inline constexpr std::string_view kWorkFolderName = "temp_jlinkloader";
inline constexpr std::string_view kScriptFileName = "jlinkscript.txt";
inline constexpr std::string_view kFlashLoaderFileName = "flashloader.bin";
inline constexpr std::string_view kLogFileName = "jlink.log";
// Held by the job that runs in the temporary folder, gone with it.
inline constexpr std::string_view kWorkFolderLockName = "temp_jlinkloader.lock";
// What follows the image's name in the name of its MAC-patched copy.
inline constexpr std::string_view kImageCopySuffix = ".jlink-copy";

// The tool below the program folder.
inline constexpr std::string_view kToolFolderName = "jlink";
#ifdef _WIN32
inline constexpr std::string_view kToolFileName = "jlink.exe";
#else
inline constexpr std::string_view kToolFileName = "JLinkExe";
#endif

// How messages name the tool, and whether they show where it was looked for
// in full: on Windows users know it as jlink.exe below the program folder;
// here its file name alone tells little, and a relative path leaves unsaid
// what it is relative to.
inline constexpr std::string_view kWindowsToolName = "jlink.exe";
inline constexpr std::string_view kLinuxToolName = "J-Link Commander (JLinkExe)";
#ifdef _WIN32
inline constexpr std::string_view kToolName = kWindowsToolName;
inline constexpr bool kToolShownWithFullPath = false;
#else
inline constexpr std::string_view kToolName = kLinuxToolName;
inline constexpr bool kToolShownWithFullPath = true;
#endif

// Markers in the tool's output.
inline constexpr std::string_view kErrorMarker = "****** Error";

// "temp_image_07.bin"
std::string PieceFileName(int index);

// `name` inside the job folder, relative to the temporary folder:
// "temp_jlinkloader/name" (temp_jlinkloader\name on Windows).
std::string WorkRelativePath(std::string_view name);

// The tool relative to the program folder: "jlink/JLinkExe", on Windows
// jlink\jlink.exe.
std::string ToolRelativePath();

// `name` below `folder`, with the platform's separator.
std::string JoinPath(std::string_view folder, std::string_view name);

// The tool's two echoes of a piece being loaded: the older "Loading binary
// file... [" and the current "Downloading file [", each followed by the
// piece's relative path up to its two-digit index.
std::string LoadingPieceMarker();
std::string DownloadingPieceMarker();
