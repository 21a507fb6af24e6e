// The two pages' tables where a slip is easy to make and hard to see: order,
// identifiers, the MAC boxes, first states and sizes.

#include "app/page_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

std::vector<Control> PageOrder(const PageTable& table)
{
    std::vector<Control> order;
    for (const PageEntry& entry : table.entries)
        order.push_back(entry.control);
    return order;
}

const PageEntry& Entry(Control control)
{
    for (Page page : {Page::setup, Page::result})
        if (const PageEntry* entry = FindEntry(PageTableOf(page), control))
            return *entry;
    throw std::logic_error("control on no page");
}

TEST(PageTables, SetupPageOrderPutsTheMacBoxesBetweenStepTwoAndItsHint)
{
    const std::vector<Control> order = PageOrder(SetupPageTable());
    ASSERT_EQ(order.size(), 29u);
    EXPECT_EQ(order[8], Control::step2Label);
    for (int k = 0; k < kMacBoxCount; ++k)
        EXPECT_EQ(order[9 + k], MacBox(k));
    EXPECT_EQ(order[17], Control::macHintLabel);
    EXPECT_EQ(order[21], Control::boardPicture);
    EXPECT_EQ(order[25], Control::boardStatusLabel);
    EXPECT_EQ(order[26], Control::portList);
    EXPECT_EQ(order.back(), Control::versionLabel);
}

TEST(PageTables, ResultPageStacksTheInstructionsOverTheBoardPhoto)
{
    EXPECT_EQ(PageOrder(ResultPageTable()),
              (std::vector<Control>{Control::resultBannerPicture, Control::boardPhoto,
                                    Control::instructionsPicture, Control::statusLabel,
                                    Control::closeButton, Control::progressBar, Control::backButton}));
}

TEST(PageTables, EveryControlIsOnExactlyOnePageAndCreatedOnce)
{
    std::multiset<Control> seen;
    for (Page page : {Page::setup, Page::result}) {
        const PageTable& table = PageTableOf(page);
        EXPECT_EQ(table.page, page);
        std::vector<Control> created(table.creationOrder.begin(), table.creationOrder.end());
        std::vector<Control> listed = PageOrder(table);
        std::sort(created.begin(), created.end());
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(created, listed);
        seen.insert(listed.begin(), listed.end());
    }
    EXPECT_EQ(seen.size(), kControlCount);
    EXPECT_EQ(std::set<Control>(seen.begin(), seen.end()).size(), kControlCount);
}

TEST(PageTables, IdentifiersFollowTheCreationOrderOfNumberedKinds)
{
    const std::map<Control, int> expected{
        {Control::macBox0, 10500},    {Control::macBox1, 10501},      {Control::macBox2, 10502},
        {Control::macBox3, 10503},    {Control::macBox4, 10504},      {Control::macBox5, 10505},
        {Control::macBox6, 10506},    {Control::macBox7, 10507},      {Control::usbRadio, 10508},
        {Control::jlinkRadio, 10509}, {Control::updateButton, 10510}, {Control::portList, 10511},
        {Control::browseButton, 10512}, {Control::defaultFileButton, 10513},
        {Control::progressBar, 10514}, {Control::closeButton, 10515}, {Control::backButton, 10516},
    };
    const std::vector<ControlIdentifier> identifiers = ControlIdentifiers();
    ASSERT_EQ(identifiers.size(), kControlCount);
    for (const ControlIdentifier& id : identifiers) {
        const auto found = expected.find(id.control);
        const int want = found != expected.end() ? found->second : kUnnumberedIdentifier;
        EXPECT_EQ(id.identifier, want) << "control " << Index(id.control);
    }
}

TEST(PageTables, MacBoxesStandInARowWithTheFixedPrefixReadOnly)
{
    for (int k = 0; k < kMacBoxCount; ++k) {
        SCOPED_TRACE(k);
        const PageEntry& box = Entry(MacBox(k));
        EXPECT_EQ(box.kind, ControlKind::macBox);
        EXPECT_EQ(box.position, (Placement{50 + 40 * k, 262}));
        EXPECT_EQ(WindowSize(box), (Extent{35, 24}));
        EXPECT_EQ(box.textLimit, 2);
        EXPECT_EQ(box.font, (FontSpec{11, false}));
        EXPECT_EQ(box.readOnly, k < 3);
        EXPECT_EQ(box.text, k == 1 ? "50" : k == 2 ? "C2" : "00");
    }
}

struct EntryCase {
    Control control;
    std::string_view text;
    std::optional<FontSpec> font;
    Placement position;
    Extent windowSize;
    Action action;
    bool shown;
    bool disabled;
    bool checked;
    ColorRef colour;
};

class PageEntryState : public ::testing::TestWithParam<EntryCase> {};

TEST_P(PageEntryState, MatchesThePage)
{
    const EntryCase& c = GetParam();
    const PageEntry& entry = Entry(c.control);
    EXPECT_EQ(entry.text, c.text);
    EXPECT_EQ(entry.font, c.font);
    EXPECT_EQ(entry.position, c.position);
    EXPECT_EQ(WindowSize(entry), c.windowSize);
    EXPECT_EQ(entry.action, c.action);
    EXPECT_EQ(entry.shown, c.shown);
    EXPECT_EQ(entry.disabled, c.disabled);
    EXPECT_EQ(entry.checked, c.checked);
    EXPECT_EQ(entry.colour, c.colour);
}

constexpr FontSpec kN10{10, false};
constexpr FontSpec kB10{10, true};

INSTANTIATE_TEST_SUITE_P(
    Entries, PageEntryState,
    ::testing::Values(
        EntryCase{Control::bandPicture, "", std::nullopt, {0, 290}, {680, 30}, Action::none, true, false, false, kBlack},
        EntryCase{Control::imageLabel, "", kN10, {50, 155}, {600, 100}, Action::none, true, false, false, kBlack},
        EntryCase{Control::browseHintLabel, "If you want to indicate a different firmware image file click Browse.", kN10, {20, 190}, {400, 60}, Action::none, true, false, false, kBlack},
        EntryCase{Control::browseButton, "Browse...", kN10, {430, 190}, {100, 25}, Action::browse, true, false, false, kBlack},
        EntryCase{Control::defaultFileButton, "Default File", kN10, {535, 190}, {90, 25}, Action::defaultFile, true, true, false, kBlack},
        EntryCase{Control::usbRadio, "Use USB COM port connection", kN10, {50, 365}, {250, 25}, Action::radioClick, true, false, true, kBlack},
        EntryCase{Control::jlinkRadio, "Use J-Link JTAG connection", kN10, {50, 395}, {250, 25}, Action::radioClick, true, false, false, kBlack},
        EntryCase{Control::probePicture, "", std::nullopt, {340, 370}, {500, 100}, Action::none, false, false, false, kBlack},
        EntryCase{Control::noProbePicture, "", std::nullopt, {340, 370}, {500, 100}, Action::none, false, false, false, kBlack},
        EntryCase{Control::boardStatusLabel, "No board detected", kB10, {430, 380}, {600, 100}, Action::none, true, false, false, kBlack},
        EntryCase{Control::portList, "", kB10, {430, 380}, {180, 20}, Action::portSelection, true, false, false, kBlack},
        EntryCase{Control::updateButton, "Update Firmware", FontSpec{11, true}, {210, 445}, {200, 30}, Action::updateFirmware, true, false, false, kBlack},
        EntryCase{Control::versionLabel, kVersionText, FontSpec{8, false}, {400, 487}, {600, 100}, Action::none, true, false, false, kGrey},
        EntryCase{Control::instructionsPicture, "", std::nullopt, {20, 78}, {500, 100}, Action::none, false, false, false, kBlack},
        EntryCase{Control::statusLabel, "Firmware updated successfully", kB10, {20, 395}, {600, 100}, Action::none, true, false, false, kBlack},
        EntryCase{Control::closeButton, "Close", kN10, {320, 460}, {120, 25}, Action::close, true, false, false, kBlack},
        EntryCase{Control::progressBar, "", std::nullopt, {20, 420}, {590, 25}, Action::none, true, false, false, kBlack},
        EntryCase{Control::backButton, "<< Back", kN10, {190, 460}, {120, 25}, Action::back, true, false, false, kBlack}));

TEST(PageTables, EntriesRecordTheirKindsSizeUnlessThePageGivesOne)
{
    EXPECT_EQ(RecordedSize(Entry(Control::imageLabel)), (Extent{500, 100}));
    EXPECT_EQ(RecordedSize(Entry(Control::boardPicture)), (Extent{100, 40}));
    EXPECT_EQ(RecordedSize(Entry(Control::portList)), (Extent{200, 20}));
    EXPECT_EQ(RecordedSize(Entry(Control::usbRadio)), (Extent{250, 25}));
    EXPECT_EQ(TraitsOf(ControlKind::progressBar).style, 0x40000001u);
}

TEST(PageTables, PagesUseOnlySharedFontsAndOnlyDrawnPictures)
{
    const auto fonts = SharedFonts();
    ASSERT_EQ(fonts.size(), 10u);
    EXPECT_EQ(fonts[0], (FontSpec{8, false}));
    EXPECT_EQ(fonts[5], (FontSpec{8, true}));
    EXPECT_EQ(fonts[9], (FontSpec{14, true}));
    const auto pictures = PictureResources();
    for (Page page : {Page::setup, Page::result}) {
        for (const PageEntry& entry : PageTableOf(page).entries) {
            if (entry.font) {
                EXPECT_NE(std::find(fonts.begin(), fonts.end(), *entry.font), fonts.end());
            }
            const bool isPicture = entry.kind == ControlKind::picture;
            EXPECT_EQ(isPicture, entry.picture != 0);
            EXPECT_EQ(isPicture || entry.kind == ControlKind::progressBar, !entry.font);
            if (isPicture) {
                EXPECT_TRUE(std::any_of(pictures.begin(), pictures.end(),
                                        [&](const auto& p) { return p.number == entry.picture; }))
                    << entry.picture;
            }
        }
    }
    EXPECT_EQ(Entry(Control::bannerPicture).picture, Entry(Control::resultBannerPicture).picture);
}

}  // namespace
