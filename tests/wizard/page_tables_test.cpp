// The two pages' tables where a slip is easy to make and hard to see: order,
// identifiers, the MAC boxes, first states and sizes.

#include "wizard/page_tables.h"

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
        EXPECT_EQ(box.font, (FontStyle{11, false}));
        EXPECT_EQ(box.readOnly, k < 3);
        EXPECT_EQ(box.text, k == 1 ? "50" : k == 2 ? "C2" : "00");
    }
}

std::set<Control> Where(bool (*test)(const PageEntry&))
{
    std::set<Control> found;
    for (Page page : {Page::setup, Page::result})
        for (const PageEntry& entry : PageTableOf(page).entries)
            if (test(entry))
                found.insert(entry.control);
    return found;
}

TEST(PageTables, FirstStatesDifferFromTheDefaultsOnlyWhereThePagesSaySo)
{
    EXPECT_EQ(Where([](const PageEntry& e) { return e.disabled; }),
              std::set<Control>{Control::defaultFileButton});
    EXPECT_EQ(Where([](const PageEntry& e) { return e.checked; }), std::set<Control>{Control::usbRadio});
    EXPECT_EQ(Where([](const PageEntry& e) { return !e.shown; }),
              (std::set<Control>{Control::probePicture, Control::noProbePicture,
                                 Control::instructionsPicture}));
    EXPECT_EQ(Where([](const PageEntry& e) { return e.color != kBlack; }),
              std::set<Control>{Control::versionLabel});
    EXPECT_EQ(Entry(Control::versionLabel).color, kGrey);
    EXPECT_EQ(Where([](const PageEntry& e) { return e.readOnly; }),
              (std::set<Control>{Control::macBox0, Control::macBox1, Control::macBox2}));
}

TEST(PageTables, ActionsAreBoundToTheirControls)
{
    const std::map<Control, Action> expected{
        {Control::browseButton, Action::browse},     {Control::defaultFileButton, Action::defaultFile},
        {Control::usbRadio, Action::radioClick},     {Control::jlinkRadio, Action::radioClick},
        {Control::portList, Action::portSelection},  {Control::updateButton, Action::updateFirmware},
        {Control::closeButton, Action::close},       {Control::backButton, Action::back},
    };
    for (Page page : {Page::setup, Page::result}) {
        for (const PageEntry& entry : PageTableOf(page).entries) {
            const auto found = expected.find(entry.control);
            EXPECT_EQ(entry.action, found != expected.end() ? found->second : Action::none)
                << "control " << Index(entry.control);
        }
    }
}

TEST(PageTables, ResultPageButtonsSitSideBySideUnderTheProgressBar)
{
    EXPECT_EQ(Entry(Control::backButton).position, (Placement{190, 460}));
    EXPECT_EQ(Entry(Control::closeButton).position, (Placement{320, 460}));
    EXPECT_EQ(WindowSize(Entry(Control::closeButton)), (Extent{120, 25}));
    EXPECT_EQ(Entry(Control::progressBar).position, (Placement{20, 420}));
    EXPECT_EQ(WindowSize(Entry(Control::progressBar)), (Extent{590, 25}));
    EXPECT_EQ(Entry(Control::statusLabel).text, "Firmware updated successfully");
}

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
    EXPECT_EQ(fonts[0], (FontStyle{8, false}));
    EXPECT_EQ(fonts[5], (FontStyle{8, true}));
    EXPECT_EQ(fonts[9], (FontStyle{14, true}));
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
