#pragma once
// The factories of the wizard's control kinds. Each creates its control as
// a hidden child of the dialog (ControlRenderer::ShowPage shows it) with the
// creation rectangle of the page tables' kind traits, gives it its font, and
// returns a new entry with shown 1, position 0, 0, the kind's recorded size
// and the font.

#include "controls/loader_control.h"
#include "wizard/page_tables.h"

#include <QString>

#include <memory>

// Controls the user can reach get identifiers from a process-wide counter
// that starts at kFirstControlIdentifier; labels and pictures get
// kUnnumberedIdentifier (wizard/page_tables.h).
inline constexpr char kControlIdProperty[] = "controlId";

int ControlId(const QWidget* window);

std::unique_ptr<LoaderControl> CreateLabel(QWidget* dialog, const QString& text, QFont* font);
std::unique_ptr<LoaderControl> CreateMacBox(QWidget* dialog, const QString& text, QFont* font);
std::unique_ptr<LoaderControl> CreateButton(QWidget* dialog, const QString& text, QFont* font,
                                            ControlAction action);
std::unique_ptr<LoaderControl> CreateRadio(QWidget* dialog, const QString& text, QFont* font,
                                           ControlAction action);
// Uses the 10-point bold font; `action` is the dialog's port selection.
std::unique_ptr<LoaderControl> CreatePortList(QWidget* dialog, ControlAction action);
// Range 0 to 100, no font.
std::unique_ptr<LoaderControl> CreateProgressBar(QWidget* dialog);
// Loads ":/pictures/<number>.gif" and starts drawing it; a picture that does
// not load stays empty, the entry exists all the same.
std::unique_ptr<LoaderControl> CreatePicture(QWidget* dialog, int number);
