#pragma once
// Both wizard pages as data: every control with its kind, text, font,
// position, size and first state, in page order, and the order in which the
// controls are created. The window shell builds the pages by walking these
// tables; nothing else about the pages' content lives in code.

#include "wizard/colors.h"
#include "wizard/dialog_controls.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

enum class ControlKind { label, macBox, button, radio, portList, progressBar, picture };

struct FontStyle {
    int points;
    bool bold;
    bool operator==(const FontStyle&) const = default;
};

struct Placement {
    int x;
    int y;
    bool operator==(const Placement&) const = default;
};

struct Extent {
    int width;
    int height;
    bool operator==(const Extent&) const = default;
};

// What every control of a kind gets when it is created.
struct KindTraits {
    Extent window;           // size of the window as created
    Extent entry;            // size recorded for it unless a page gives one
    std::uint32_t style;     // window style bits the kind is created with
    bool numbered;           // takes the next control identifier
};

const KindTraits& TraitsOf(ControlKind kind);

struct PageEntry {
    Control control;
    ControlKind kind;
    int picture = 0;  // GIF resource number, pictures only
    std::string_view text = {};
    std::optional<FontStyle> font = {};
    Placement position = {0, 0};
    std::optional<Extent> size = {};  // none: the kind's own size
    Action action = Action::none;
    // first state
    bool shown = true;
    bool disabled = false;
    bool readOnly = false;
    bool checked = false;
    int textLimit = 0;  // characters; 0 = no limit
    ColorRef color = kBlack;
};

// The size the control's window has once placed.
Extent WindowSize(const PageEntry& entry);
// The size its registry entry records.
Extent RecordedSize(const PageEntry& entry);

struct PageTable {
    Page page;
    std::span<const PageEntry> entries;      // page order = stacking and tab order
    std::span<const Control> creationOrder;  // decides the control identifiers
};

const PageTable& SetupPageTable();
const PageTable& ResultPageTable();
const PageTable& PageTableOf(Page page);

// The entry of `control` in `table`, or null when the page does not hold it.
const PageEntry* FindEntry(const PageTable& table, Control control);

// How every window builds the pages: for each table (setup page first) its
// controls created in the table's creation order, which decides their
// identifiers, then its entries placed in page order.
void BuildPagesFromTables(const std::function<void(const PageEntry&)>& create,
                          const std::function<void(Page, const PageEntry&)>& place);

inline constexpr int kFirstControlIdentifier = 10500;
inline constexpr int kUnnumberedIdentifier = 0xFFFF;

struct ControlIdentifier {
    Control control;
    int identifier;
};

// Every control of both pages in creation order (setup page first) with its
// identifier.
std::vector<ControlIdentifier> ControlIdentifiers();

// The fonts the controls share, created once in this order.
inline constexpr std::string_view kFontFace = "Tahoma";
std::span<const FontStyle> SharedFonts();

// The pictures the pages show, drawn for this product.
struct PictureResource {
    int number;
    Extent pixels;
};
std::span<const PictureResource> PictureResources();

inline constexpr std::string_view kDialogCaption = "Quillmark Firmware Update";
// The area the pages are laid out in: the window's client area on both
// systems, whatever frame the system puts around it. All figures here are
// pixels at 96 DPI; the Windows window scales them to its own (dpi_scale.h).
inline constexpr Extent kClientSize = {640, 540};
inline constexpr int kIconResource = 149;
inline constexpr ColorRef kDialogBackground = 0xFFFFFF;
inline constexpr std::string_view kVersionText = "Version 1.0.0 (c) 2026 Quillmark";
