// The MAC boxes on a real dialog: what typing, leaving, clicking and
// pasting do to a row of linked boxes.

#include "test_dialog.h"

#include "controls/win32/control_factories.h"
#include "controls/win32/entry_operations.h"
#include "controls/win32/param_edit.h"
#include "controls/win32/shared_fonts.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// A row of boxes as the setup page has it: the first `fixed` read-only.
class MacRow {
public:
    MacRow(HWND dialog, const std::vector<std::string>& texts, std::size_t fixed = 0) {
        CreateFonts();
        for (std::size_t k = 0; k < texts.size(); ++k) {
            entries.push_back(CreateMacBox(dialog, texts[k], SharedFont({11, false})));
            Place(Box(k), 50 + 40 * static_cast<int>(k), 262, 35, 24);
            if (k < fixed) ::SendMessageW(Box(k), EM_SETREADONLY, TRUE, 0);
            if (k > 0) CParamEdit::FromWindow(Box(k - 1))->next = CParamEdit::FromWindow(Box(k));
        }
    }
    HWND Box(std::size_t k) const { return entries[k]->window; }
    std::string Text(std::size_t k) const { return WindowText(Box(k)); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (std::size_t k = 0; k < entries.size(); ++k) texts.push_back(Text(k));
        return texts;
    }

private:
    std::vector<std::unique_ptr<LoaderControl>> entries;
};

struct TypingCase {
    const char* name;
    std::array<const char*, 2> before;
    std::size_t box;  // typed into, with this selection
    std::pair<int, int> selection;
    const char* keys;
    std::array<const char*, 2> after;
    std::size_t focusAfter;
    int caretAfter;
};

void PrintTo(const TypingCase& c, std::ostream* out) { *out << c.name; }

class MacBoxTyping : public ::testing::TestWithParam<TypingCase> {};

TEST_P(MacBoxTyping, KeepsTwoHexDigitsPerBoxAndRunsOnIntoTheNext) {
    const TypingCase& c = GetParam();
    TestDialog dialog;
    MacRow row(dialog.window, {c.before[0], c.before[1]});
    ::SetFocus(row.Box(c.box));
    ::SendMessageW(row.Box(c.box), EM_SETSEL, c.selection.first, c.selection.second);

    Type(c.keys);

    EXPECT_EQ(row.Text(0), c.after[0]);
    EXPECT_EQ(row.Text(1), c.after[1]);
    EXPECT_EQ(::GetFocus(), row.Box(c.focusAfter));
    EXPECT_EQ(Selection(row.Box(c.focusAfter)), std::make_pair(c.caretAfter, c.caretAfter));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MacBoxTyping,
    ::testing::Values(
        TypingCase{"RunsOnIntoTheNextBox", {"", "45"}, 0, {0, 0}, "123", {"12", "35"}, 1, 1},
        TypingCase{"IgnoresWhatIsNoHexDigit", {"", "45"}, 0, {0, 0}, "G.1 -z", {"1", "45"}, 0, 1},
        TypingCase{"ShowsLettersInUpperCase", {"", ""}, 0, {0, 0}, "ab", {"AB", ""}, 0, 2},
        TypingCase{"OverwritesTheFirstDigitAtTheStart", {"12", "45"}, 0, {0, 0}, "9", {"92", "45"}, 0, 1},
        TypingCase{"OverwritesTheSecondDigitBetweenThem", {"12", "45"}, 0, {1, 1}, "9", {"19", "45"}, 0, 2},
        TypingCase{"ReplacesASelectionAsUsual", {"12", "45"}, 0, {0, 2}, "3", {"3", "45"}, 0, 1},
        TypingCase{"IgnoresTypingAtTheEndOfTheLastBox", {"12", "45"}, 1, {2, 2}, "7", {"12", "45"}, 1, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// What reaches the edit control's own procedure, below the box's subclass:
// each typed character, and whether the box was full when it came.
struct DefaultProcedureLog {
    int characters = 0;
    int whileFull = 0;

    static LRESULT CALLBACK Procedure(HWND edit, UINT message, WPARAM wparam, LPARAM lparam,
                                      UINT_PTR, DWORD_PTR data) {
        if (message == WM_CHAR && wparam >= 0x20) {
            auto* log = reinterpret_cast<DefaultProcedureLog*>(data);
            ++log->characters;
            const std::pair<int, int> selection = Selection(edit);
            if (selection.first == selection.second && ::GetWindowTextLengthW(edit) >= 2)
                ++log->whileFull;
        }
        return ::DefSubclassProc(edit, message, wparam, lparam);
    }
};

// A full box never hands a character on: on Windows the edit control beeps
// at each one it cannot take.
TEST(MacBoxFull, PlacesTheDigitItselfAndTheEditControlNeverSeesIt) {
    TestDialog dialog;
    CreateFonts();
    DefaultProcedureLog log;
    std::vector<std::unique_ptr<CParamEdit>> row;
    for (int k = 0; k < 8; ++k) {
        const HWND edit = ::CreateWindowExW(0, WC_EDITW, L"00", TraitsOf(ControlKind::macBox).style,
                                            0, 0, 35, 24, dialog.window, nullptr,
                                            ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(edit, EM_LIMITTEXT, 2, 0);
        ::SetWindowSubclass(edit, DefaultProcedureLog::Procedure, 1,
                            reinterpret_cast<DWORD_PTR>(&log));
        row.push_back(std::make_unique<CParamEdit>(edit));
        Place(edit, 50 + 40 * k, 262, 35, 24);
        if (k > 0) row[k - 1]->next = row[k].get();
    }
    ::SetFocus(row[0]->window);
    ::SendMessageW(row[0]->window, EM_SETSEL, 0, -1);

    Type("0123456789abcdef");
    // Past the end of the row, then over the first digit of the last box.
    Type("7");
    ::SendMessageW(row[7]->window, EM_SETSEL, 0, 0);
    Type("4");
    // A fixed box, as the first three are on the setup page.
    ::SendMessageW(row[0]->window, EM_SETREADONLY, TRUE, 0);
    ::SetFocus(row[0]->window);
    ::SendMessageW(row[0]->window, EM_SETSEL, 1, 1);
    Type("5");

    std::vector<std::string> texts;
    for (const auto& box : row) texts.push_back(WindowText(box->window));
    EXPECT_EQ(texts, (std::vector<std::string>{"01", "23", "45", "67", "89", "AB", "CD", "4F"}));
    EXPECT_GT(log.characters, 0) << "typing into the first digit of each box goes the usual way";
    EXPECT_EQ(log.whileFull, 0);
}

struct LeavingCase {
    const char* text;
    const char* left;
};

void PrintTo(const LeavingCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class MacBoxLeaving : public ::testing::TestWithParam<LeavingCase> {};

TEST_P(MacBoxLeaving, FillsTheBoxUpToTwoDigits) {
    TestDialog dialog;
    MacRow row(dialog.window, {GetParam().text, "45"});
    ::SetFocus(row.Box(0));
    ::SetFocus(row.Box(1));
    EXPECT_EQ(row.Text(0), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(Texts, MacBoxLeaving,
                         ::testing::Values(LeavingCase{"7", "07"}, LeavingCase{"", "00"},
                                           LeavingCase{"AB", "AB"}),
                         [](const auto& info) { return "Text" + std::to_string(info.index); });

struct ClickCase {
    const char* name;
    bool focusedBefore;
    bool selectsBoth;
};

void PrintTo(const ClickCase& c, std::ostream* out) { *out << c.name; }

class MacBoxClick : public ::testing::TestWithParam<ClickCase> {};

// A press at the box's left edge, the hand moving there, and the release.
TEST_P(MacBoxClick, SelectsBothDigitsOnlyWhenItBringsTheFocus) {
    TestDialog dialog;
    MacRow row(dialog.window, {"12", "45"});
    ::SetFocus(GetParam().focusedBefore ? row.Box(0) : row.Box(1));
    const HWND box = row.Box(0);
    ::SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
    ::SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, 10));
    ::SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(2, 10));

    EXPECT_EQ(::GetFocus(), box);
    EXPECT_EQ(Selection(box), GetParam().selectsBoth ? std::make_pair(0, 2) : std::make_pair(0, 0));
}

INSTANTIATE_TEST_SUITE_P(Cases, MacBoxClick,
                         ::testing::Values(ClickCase{"FromElsewhere", false, true},
                                           ClickCase{"InTheFocusedBox", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PasteCase {
    const char* name;
    const char* clipboard;
    std::size_t box;
    std::vector<std::string> after;
};

void PrintTo(const PasteCase& c, std::ostream* out) { *out << c.name; }

class MacBoxPaste : public ::testing::TestWithParam<PasteCase> {};

// Ctrl+V into a row whose first three boxes hold the fixed prefix.
TEST_P(MacBoxPaste, FillsTheRowWithAWholeAddress) {
    const PasteCase& c = GetParam();
    TestDialog dialog;
    MacRow row(dialog.window, {"00", "50", "C2", "00", "00", "00", "00", "00"}, 3);
    SetClipboard(dialog.window, c.clipboard);
    ::SetFocus(row.Box(c.box));
    ::SendMessageW(row.Box(c.box), EM_SETSEL, 0, -1);

    Type("\x16");

    EXPECT_EQ(row.Texts(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MacBoxPaste,
    ::testing::Values(
        PasteCase{"WholeRow", "00:50:c2:12:34:56:78:9a", 4,
                  {"00", "50", "C2", "12", "34", "56", "78", "9A"}},
        PasteCase{"WholeRowIntoAFixedBox", " 00-50-C2-12-34-56-78-9A\r\n", 0,
                  {"00", "50", "C2", "12", "34", "56", "78", "9A"}},
        PasteCase{"TheEditableBoxes", "12 34 56 78 9a", 6,
                  {"00", "50", "C2", "12", "34", "56", "78", "9A"}},
        PasteCase{"OtherFixedBytesRefusedWhole", "11:22:33:44:55:66:77:88", 4,
                  {"00", "50", "C2", "00", "00", "00", "00", "00"}},
        PasteCase{"NoAddressPastedAsUsual", "7f", 4, {"00", "50", "C2", "00", "7F", "00", "00", "00"}},
        PasteCase{"BrokenByteNoAddress", "0:050C2123456789A", 5,
                  {"00", "50", "C2", "00", "00", "0:", "00", "00"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
