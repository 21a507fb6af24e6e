#include "wizard/page_tables.h"

#include <array>

namespace {

constexpr FontStyle kNormal8{8, false};
constexpr FontStyle kNormal10{10, false};
constexpr FontStyle kBold10{10, true};
constexpr FontStyle kNormal11{11, false};
constexpr FontStyle kBold11{11, true};

constexpr std::array<FontStyle, 10> kSharedFonts{{
    {8, false}, {10, false}, {11, false}, {12, false}, {14, false},
    {8, true}, {10, true}, {11, true}, {12, true}, {14, true},
}};

// Indexed by ControlKind.
constexpr std::array<KindTraits, 7> kKindTraits{{
    {{600, 100}, {500, 100}, 0x40000000, false},  // label
    {{500, 100}, {500, 100}, 0x40810009, true},   // MAC box
    {{100, 40}, {100, 40}, 0x40010F00, true},     // button
    {{400, 20}, {200, 20}, 0x40010D09, true},     // radio
    {{180, 20}, {200, 20}, 0x40010203, true},     // port list
    {{800, 30}, {500, 30}, 0x40000001, true},     // progress bar
    {{500, 100}, {100, 40}, 0x4000000E, false},   // picture
}};

// The first three bytes are the maker's fixed prefix 00 50 C2: shown, never
// edited.
constexpr PageEntry MacBoxEntry(int k)
{
    constexpr std::array<std::string_view, 3> kFixed{"00", "50", "C2"};
    return PageEntry{.control = MacBox(k),
                     .kind = ControlKind::macBox,
                     .text = k < 3 ? kFixed[k] : "00",
                     .font = kNormal11,
                     .position = {50 + 40 * k, 262},
                     .size = Extent{35, 24},
                     .readOnly = k < 3,
                     .textLimit = 2};
}

constexpr PageEntry Label(Control control, std::string_view text, FontStyle font, Placement at)
{
    return PageEntry{.control = control, .kind = ControlKind::label, .text = text,
                     .font = font, .position = at};
}

constexpr PageEntry Picture(Control control, int resource, Placement at)
{
    return PageEntry{.control = control, .kind = ControlKind::picture, .picture = resource,
                     .position = at};
}

constexpr PageEntry Button(Control control, std::string_view text, FontStyle font, Placement at,
                           Extent size, Action action)
{
    return PageEntry{.control = control, .kind = ControlKind::button, .text = text,
                     .font = font, .position = at, .size = size, .action = action};
}

constexpr PageEntry Radio(Control control, std::string_view text, Placement at, bool checked)
{
    return PageEntry{.control = control, .kind = ControlKind::radio, .text = text,
                     .font = kNormal10, .position = at, .size = Extent{250, 25},
                     .action = Action::radioClick, .checked = checked};
}

constexpr PageEntry Disabled(PageEntry entry)
{
    entry.disabled = true;
    return entry;
}

constexpr PageEntry Hidden(PageEntry entry)
{
    entry.shown = false;
    return entry;
}

constexpr PageEntry Colored(PageEntry entry, ColorRef color)
{
    entry.color = color;
    return entry;
}

constexpr PageEntry Sized(PageEntry entry, Extent size)
{
    entry.size = size;
    return entry;
}

// Pictures 140 to 145 share one place: the logic's shown flags pick which one
// appears. The board status label and the port list share one place too.
constexpr std::array<PageEntry, 29> kSetupEntries{{
    Picture(Control::bannerPicture, 139, {0, 0}),
    Sized(Picture(Control::bandPicture, 147, {0, 290}), {680, 30}),
    Label(Control::introductionLabel,
          "This utility will update or restore the firmware of a Velkan USB Dongle/Sniffer board.",
          kNormal10, {20, 80}),
    Label(Control::step1Label, "1. The following firmware image file will be used for the update:",
          kBold10, {20, 120}),
    Label(Control::imageLabel, "", kNormal10, {50, 155}),
    Sized(Label(Control::browseHintLabel,
                "If you want to indicate a different firmware image file click Browse.",
                kNormal10, {20, 190}),
          {400, 60}),
    Button(Control::browseButton, "Browse...", kNormal10, {430, 190}, {100, 25}, Action::browse),
    Disabled(Button(Control::defaultFileButton, "Default File", kNormal10, {535, 190}, {90, 25},
                    Action::defaultFile)),
    Label(Control::step2Label, "2. Insert the 802.15.4 MAC address of the node:", kBold10,
          {20, 230}),
    MacBoxEntry(0), MacBoxEntry(1), MacBoxEntry(2), MacBoxEntry(3),
    MacBoxEntry(4), MacBoxEntry(5), MacBoxEntry(6), MacBoxEntry(7),
    Label(Control::macHintLabel,
          "The address is made up of 16 hexadecimal digits and can be found on the board label.",
          kNormal10, {20, 297}),
    Label(Control::step3Label, "3. Specify the board connection to use for updating the firmware:",
          kBold10, {20, 335}),
    Radio(Control::usbRadio, "Use USB COM port connection", {50, 365}, true),
    Radio(Control::jlinkRadio, "Use J-Link JTAG connection", {50, 395}, false),
    Picture(Control::boardPicture, 140, {340, 370}),
    Picture(Control::noBoardPicture, 142, {340, 370}),
    Hidden(Picture(Control::probePicture, 144, {340, 370})),
    Hidden(Picture(Control::noProbePicture, 145, {340, 370})),
    Label(Control::boardStatusLabel, "No board detected", kBold10, {430, 380}),
    PageEntry{.control = Control::portList, .kind = ControlKind::portList, .font = kBold10,
              .position = {430, 380}, .action = Action::portSelection},
    Button(Control::updateButton, "Update Firmware", kBold11, {210, 445}, {200, 30},
           Action::updateFirmware),
    Colored(Label(Control::versionLabel, kVersionText, kNormal8, {400, 487}), kGrey),
}};

constexpr std::array<Control, 29> kSetupCreationOrder{
    Control::bannerPicture,    Control::bandPicture,    Control::introductionLabel,
    Control::step1Label,       Control::imageLabel,     Control::browseHintLabel,
    Control::step2Label,       Control::macBox0,        Control::macBox1,
    Control::macBox2,          Control::macBox3,        Control::macBox4,
    Control::macBox5,          Control::macBox6,        Control::macBox7,
    Control::versionLabel,     Control::macHintLabel,   Control::step3Label,
    Control::usbRadio,         Control::jlinkRadio,     Control::boardPicture,
    Control::noBoardPicture,   Control::probePicture,   Control::noProbePicture,
    Control::updateButton,     Control::boardStatusLabel, Control::portList,
    Control::browseButton,     Control::defaultFileButton,
};

// The instructions picture comes after the board photo so that it lies over
// it when shown.
constexpr std::array<PageEntry, 7> kResultEntries{{
    Picture(Control::resultBannerPicture, 139, {0, 0}),
    Picture(Control::boardPhoto, 141, {160, 160}),
    Hidden(Picture(Control::instructionsPicture, 150, {20, 78})),
    Label(Control::statusLabel, "Firmware updated successfully", kBold10, {20, 395}),
    Button(Control::closeButton, "Close", kNormal10, {320, 460}, {120, 25}, Action::close),
    PageEntry{.control = Control::progressBar, .kind = ControlKind::progressBar,
              .position = {20, 420}, .size = Extent{590, 25}},
    Button(Control::backButton, "<< Back", kNormal10, {190, 460}, {120, 25}, Action::back),
}};

constexpr std::array<Control, 7> kResultCreationOrder{
    Control::resultBannerPicture, Control::statusLabel, Control::progressBar,
    Control::closeButton,         Control::backButton,  Control::boardPhoto,
    Control::instructionsPicture,
};

constexpr std::array<PictureResource, 8> kPictures{{
    {139, {634, 66}},  {140, {77, 44}},   {142, {77, 44}},  {144, {77, 44}},
    {145, {77, 44}},   {141, {284, 155}}, {150, {594, 299}}, {147, {800, 600}},
}};

const PageTable kSetupTable{Page::setup, kSetupEntries, kSetupCreationOrder};
const PageTable kResultTable{Page::result, kResultEntries, kResultCreationOrder};

}  // namespace

const KindTraits& TraitsOf(ControlKind kind) { return kKindTraits[static_cast<std::size_t>(kind)]; }

Extent WindowSize(const PageEntry& entry) { return entry.size.value_or(TraitsOf(entry.kind).window); }

Extent RecordedSize(const PageEntry& entry) { return entry.size.value_or(TraitsOf(entry.kind).entry); }

const PageTable& SetupPageTable() { return kSetupTable; }

const PageTable& ResultPageTable() { return kResultTable; }

const PageTable& PageTableOf(Page page) { return page == Page::setup ? kSetupTable : kResultTable; }

const PageEntry* FindEntry(const PageTable& table, Control control)
{
    for (const PageEntry& entry : table.entries)
        if (entry.control == control)
            return &entry;
    return nullptr;
}

void BuildPagesFromTables(const std::function<void(const PageEntry&)>& create,
                          const std::function<void(Page, const PageEntry&)>& place)
{
    for (const PageTable* table : {&kSetupTable, &kResultTable}) {
        for (Control control : table->creationOrder)
            create(*FindEntry(*table, control));
        for (const PageEntry& entry : table->entries)
            place(table->page, entry);
    }
}

std::vector<ControlIdentifier> ControlIdentifiers()
{
    std::vector<ControlIdentifier> identifiers;
    int next = kFirstControlIdentifier;
    for (const PageTable* table : {&kSetupTable, &kResultTable}) {
        for (Control control : table->creationOrder) {
            const bool numbered = TraitsOf(FindEntry(*table, control)->kind).numbered;
            identifiers.push_back({control, numbered ? next++ : kUnnumberedIdentifier});
        }
    }
    return identifiers;
}

std::span<const FontStyle> SharedFonts() { return kSharedFonts; }

std::span<const PictureResource> PictureResources() { return kPictures; }
