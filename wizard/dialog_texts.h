#pragma once
// The texts the dialog's logic shows. Those of the setup and result pages'
// fixed controls live in the page tables.

#include <array>
#include <string_view>

inline constexpr std::string_view kNoImageText =
    "No *.bin file found. Copy a *.bin file to the Quillmark folder...";
inline constexpr std::string_view kBoardOnPrefix = "Board on ";
inline constexpr std::string_view kNoBoardText = "No board detected";
inline constexpr std::string_view kProbeActiveText = "J-Link is active";
inline constexpr std::string_view kNoProbeText = "No J-Link detected";

// Why "Update Firmware" started nothing; shown in red on the result page.
inline constexpr std::string_view kNoImageReason =
    "No firmware image file to program. Go Back and choose one with Browse.";
inline constexpr std::string_view kNoBoardReason =
    "No board detected. Go Back, connect the board and try again.";
// Followed by the board's entry as the user chose it.
inline constexpr std::string_view kChosenBoardGoneReason =
    "The board you chose is no longer connected. Go Back and choose a board: ";

// Asked when the window is closed while a job is writing to the board.
inline constexpr std::string_view kQuitDuringJobQuestion =
    "A firmware update is running. If you quit now, the board will be left unprogrammed "
    "and will not start until it is updated again.\n\nQuit anyway?";

// A MAC that the boxes let through unfinished or pasted with other characters.
inline constexpr std::string_view kInvalidMacMessage =
    "The MAC address must be 16 hexadecimal digits (0-9, A-F): two in each of the eight boxes. "
    "Please correct it and press Update Firmware again.";

inline constexpr std::string_view kOpenFileTitle = "Open Image File..";
// The kinds of file "Browse..." offers; each is shown with its patterns.
inline constexpr std::string_view kImageFilesFilter = "Image Files";
inline constexpr std::string_view kSRecordFilesFilter = "S-record Files";
inline constexpr std::string_view kAllFilesFilter = "All Files";
inline constexpr std::string_view kRawImagePattern = "*.bin";
// Every file: "*.*" would leave out the names without a dot, which are
// common here.
inline constexpr std::string_view kAllFilesPattern = "*";
