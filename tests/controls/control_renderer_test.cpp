// Showing one page of controls at a time.

#include "controls/control_renderer.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class ControlRendererTest : public testing::Test {
protected:
    void SetUp() override {
        dialog.resize(400, 300);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    LoaderControl* Entry(QWidget* window, bool shown = true) {
        auto entry = std::make_unique<LoaderControl>();
        entry->window = window;
        entry->shown = shown ? 1 : 0;
        window->hide();
        entries.push_back(std::move(entry));
        return entries.back().get();
    }

    QPushButton* Button(const char* text, QRect where = QRect(0, 0, 80, 30)) {
        auto* button = new QPushButton(text, &dialog);
        button->setGeometry(where);
        return button;
    }

    QWidget dialog;
    std::vector<std::unique_ptr<LoaderControl>> entries;
    ControlRenderer renderer{&dialog};
};

TEST_F(ControlRendererTest, ShowsTheEntriesOfAPageWhoseShownFlagIsSet) {
    QPushButton* a = Button("a");
    QPushButton* b = Button("b");
    QPushButton* c = Button("c");
    const ControlPage page{Entry(a), Entry(b, false), Entry(c)};
    EXPECT_EQ(renderer.currentPage, nullptr);
    renderer.ShowPage(page);
    EXPECT_TRUE(a->isVisible());
    EXPECT_FALSE(b->isVisible());
    EXPECT_TRUE(c->isVisible());
    EXPECT_EQ(renderer.currentPage, &page);
}

TEST_F(ControlRendererTest, ANewPageHidesTheOldOne) {
    QPushButton* onlyA = Button("only on A");
    QPushButton* shared = Button("on both");
    QPushButton* onlyB = Button("only on B");
    const ControlPage pageA{Entry(onlyA), Entry(shared)};
    const ControlPage pageB{Entry(shared, false), Entry(onlyB)};
    renderer.ShowPage(pageA);
    renderer.ShowPage(pageB);
    EXPECT_FALSE(onlyA->isVisible());
    EXPECT_FALSE(shared->isVisible());  // its entry on B is not shown
    EXPECT_TRUE(onlyB->isVisible());
    EXPECT_EQ(renderer.currentPage, &pageB);

    const ControlPage pageC{Entry(shared)};
    renderer.ShowPage(pageC);
    EXPECT_TRUE(shared->isVisible());
    EXPECT_FALSE(onlyB->isVisible());
}

TEST_F(ControlRendererTest, ShowingTheCurrentPageAgainAppliesChangedFlags) {
    QPushButton* board = Button("board");
    QPushButton* noBoard = Button("no board");
    LoaderControl* boardEntry = Entry(board);
    LoaderControl* noBoardEntry = Entry(noBoard, false);
    const ControlPage page{boardEntry, noBoardEntry};
    renderer.ShowPage(page);
    boardEntry->shown = 0;
    noBoardEntry->shown = 1;
    EXPECT_TRUE(board->isVisible());  // flags wait for the next page switch
    renderer.ShowPage(page);
    EXPECT_FALSE(board->isVisible());
    EXPECT_TRUE(noBoard->isVisible());
}

TEST_F(ControlRendererTest, LaterEntriesLieOverEarlierOnes) {
    QPushButton* below = Button("photo", QRect(50, 50, 100, 100));
    QPushButton* above = Button("instructions", QRect(50, 50, 100, 100));
    above->raise();
    below->raise();  // the opposite stacking before the page is shown
    const ControlPage page{Entry(below), Entry(above)};
    renderer.ShowPage(page);
    EXPECT_EQ(dialog.childAt(100, 100), above);
}

TEST_F(ControlRendererTest, TabVisitsThePageInPageOrder) {
    QPushButton* first = Button("first");
    QPushButton* second = Button("second");
    QPushButton* third = Button("third");
    QWidget::setTabOrder(third, second);
    QWidget::setTabOrder(second, first);
    const ControlPage page{Entry(first), Entry(second), Entry(third)};
    renderer.ShowPage(page);
    EXPECT_EQ(first->nextInFocusChain(), second);
    EXPECT_EQ(second->nextInFocusChain(), third);
}

}  // namespace
