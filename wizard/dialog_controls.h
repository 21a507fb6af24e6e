#pragma once
// The names shared by the dialog's logic, its page tables and the window
// shell: every control either page holds, the two pages, and the actions the
// controls trigger.

#include <cstddef>

enum class Control : int {
    // setup page
    bannerPicture,
    bandPicture,
    introductionLabel,
    step1Label,
    imageLabel,
    browseHintLabel,
    browseButton,
    defaultFileButton,
    step2Label,
    macBox0,
    macBox1,
    macBox2,
    macBox3,
    macBox4,
    macBox5,
    macBox6,
    macBox7,
    macHintLabel,
    step3Label,
    usbRadio,
    jlinkRadio,
    boardPicture,
    noBoardPicture,
    probePicture,
    noProbePicture,
    boardStatusLabel,
    portList,
    updateButton,
    versionLabel,
    // result page (its banner is a control of its own)
    resultBannerPicture,
    boardPhoto,
    instructionsPicture,
    statusLabel,
    closeButton,
    progressBar,
    backButton,
};

inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::backButton) + 1;
inline constexpr int kMacBoxCount = 8;

// MAC box k (0 = most significant byte).
constexpr Control MacBox(int k)
{
    return static_cast<Control>(static_cast<int>(Control::macBox0) + k);
}

constexpr std::size_t Index(Control control) { return static_cast<std::size_t>(control); }

enum class Page { setup, result };

// What a control does when clicked or changed; the shell binds these to the
// dialog's logic.
enum class Action {
    none,
    browse,
    defaultFile,
    radioClick,
    portSelection,
    updateFirmware,
    close,
    back,
};
