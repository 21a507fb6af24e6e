#pragma once
// The factories of the wizard's control kinds for the Windows window. Each
// creates its control as a hidden child of the dialog (ControlRenderer::
// ShowPage shows it) with the kind's window style and creation rectangle
// from the page tables' kind traits, gives it its font, and returns a new
// entry with shown 1, position 0, 0, the kind's recorded size and the font.
// Texts are UTF-8.

#include "controls/win32/loader_control.h"

#include <memory>
#include <string_view>

// A drop-down list's window height is the height of the list when it is
// open; the closed box takes the height its font needs. Placing the control
// later with a height no larger than the closed box keeps this one.
inline constexpr int kDroppedListHeight = 160;

// Controls the user can reach get identifiers from a process-wide counter
// that starts at 10500; labels and pictures get 0xFFFF.
int ControlId(HWND window);

std::unique_ptr<LoaderControl> CreateLabel(HWND dialog, std::string_view text, HFONT font);
// A CParamEdit (controls/win32/param_edit.h) with a two-character limit.
std::unique_ptr<LoaderControl> CreateMacBox(HWND dialog, std::string_view text, HFONT font);
std::unique_ptr<LoaderControl> CreateButton(HWND dialog, std::string_view text, HFONT font,
                                            ControlAction action);
std::unique_ptr<LoaderControl> CreateRadio(HWND dialog, std::string_view text, HFONT font,
                                           ControlAction action);
// Uses the 10-point bold font; `action` is the dialog's port selection.
std::unique_ptr<LoaderControl> CreatePortList(HWND dialog, ControlAction action);
// Range 0 to 100, no font.
std::unique_ptr<LoaderControl> CreateProgressBar(HWND dialog);
// Loads the program's resource of type "GIF" with that number and shows it;
// a picture that does not load stays empty, the entry exists all the same.
std::unique_ptr<LoaderControl> CreatePicture(HWND dialog, int number);
// Shows a picture's entry at `dpi` (CPictureEx::SetDpi); other entries stay.
void SetPictureDpi(LoaderControl& entry, int dpi);
