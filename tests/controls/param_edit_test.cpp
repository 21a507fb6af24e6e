// The MAC byte boxes, typed into with real key events.

#include "controls/param_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>

namespace {

// A row of three linked boxes, like the end of the dialog's MAC row.
class ParamEditTest : public testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QHBoxLayout(&row);
        for (auto*& box : boxes) {
            box = new CParamEdit(&row);
            box->setMaxLength(2);
            box->setText("00");
            layout->addWidget(box);
        }
        boxes[0]->next = boxes[1];
        boxes[1]->next = boxes[2];
        row.show();
        row.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&row));
    }

    // The box as the user finds it after clicking into it.
    void Start(CParamEdit* box, const QString& text, int caret) {
        box->setFocus();
        box->setText(text);
        box->setCursorPosition(caret);
    }

    // Each key goes where the focus is when it is pressed, as on a keyboard.
    void Type(const char* keys) {
        for (const char* key = keys; *key; ++key) {
            QTest::keyClicks(QApplication::focusWidget(), QString(QChar(*key)));
        }
    }

    QWidget row;
    std::array<CParamEdit*, 3> boxes{};
};

TEST_F(ParamEditTest, TypingOnCarriesIntoTheNextBox) {
    Start(boxes[0], "", 0);
    Type("123");
    EXPECT_EQ(boxes[0]->text(), "12");
    EXPECT_EQ(boxes[1]->text(), "30");
    EXPECT_EQ(QApplication::focusWidget(), boxes[1]);
    EXPECT_EQ(boxes[1]->cursorPosition(), 1);
    Type("4");
    EXPECT_EQ(boxes[1]->text(), "34");
    Type("56");
    EXPECT_EQ(boxes[1]->text(), "34");
    EXPECT_EQ(boxes[2]->text(), "56");
}

TEST_F(ParamEditTest, CarryIntoAnEmptyNextBoxLeavesTheDigitAlone) {
    boxes[1]->setText("");
    Start(boxes[0], "12", 2);
    Type("3");
    EXPECT_EQ(boxes[0]->text(), "12");
    EXPECT_EQ(boxes[1]->text(), "3");
    EXPECT_EQ(boxes[1]->cursorPosition(), 1);
}

struct TypingCase {
    const char* name;
    const char* start;
    int caret;
    const char* keys;
    const char* result;
    int caretAfter;
};

class ParamEditTypingTest : public ParamEditTest, public testing::WithParamInterface<TypingCase> {};

TEST_P(ParamEditTypingTest, LastBoxOfTheRow) {
    const TypingCase& c = GetParam();
    CParamEdit* last = boxes[2];
    Start(last, c.start, c.caret);
    Type(c.keys);
    EXPECT_EQ(last->text(), c.result);
    EXPECT_EQ(last->cursorPosition(), c.caretAfter);
    EXPECT_EQ(QApplication::focusWidget(), last);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParamEditTypingTest,
    testing::Values(TypingCase{"NonHexIgnored", "1", 1, "G.z -", "1", 1},
                    TypingCase{"LowerCaseShownUpper", "", 0, "af", "AF", 2},
                    TypingCase{"CaretBetweenDigitsReplacesSecond", "12", 1, "9", "19", 2},
                    TypingCase{"CaretAtStartReplacesFirst", "12", 0, "9", "92", 1},
                    TypingCase{"FullAtTheEndOfTheRowIgnored", "12", 2, "345", "12", 2},
                    TypingCase{"OverwritesOneDigitAfterAnother", "12", 0, "ab", "AB", 2}),
    [](const testing::TestParamInfo<TypingCase>& info) { return std::string(info.param.name); });

TEST_F(ParamEditTest, RemembersTheLastCharacterLetThrough) {
    Start(boxes[2], "", 0);
    Type("bG");
    EXPECT_EQ(boxes[2]->lastChar, 'b');
}

TEST_F(ParamEditTest, BackspaceStillEdits) {
    Start(boxes[2], "12", 2);
    QTest::keyClick(boxes[2], Qt::Key_Backspace);
    EXPECT_EQ(boxes[2]->text(), "1");
}

TEST_F(ParamEditTest, LeavingABoxFillsItToTwoDigits) {
    const std::pair<const char*, const char*> cases[] = {{"7", "07"}, {"", "00"}, {"AB", "AB"}};
    for (const auto& [before, after] : cases) {
        Start(boxes[0], before, 0);
        boxes[1]->setFocus();
        EXPECT_EQ(boxes[0]->text(), after) << before;
    }
}

TEST_F(ParamEditTest, PastedTextIsNotFiltered) {
    QApplication::clipboard()->setText("z9");
    Start(boxes[2], "", 0);
    QTest::keyClick(boxes[2], Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(boxes[2]->text(), "Z9");
}

TEST_F(ParamEditTest, AReadOnlyBoxIgnoresTyping) {
    boxes[0]->setReadOnly(true);
    Start(boxes[0], "C2", 0);
    Type("1a");
    EXPECT_EQ(boxes[0]->text(), "C2");
    EXPECT_EQ(boxes[1]->text(), "00");
}

}  // namespace
