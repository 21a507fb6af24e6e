// Pictures of the pages for people to look at: the setup page on the demo
// machine, the result page after a finished demo update, and the result page
// while the job waits for the board to be reset. They are written to
// $QUILLMARK_SCREENSHOT_DIR, or build/screenshots.

#include "dialog_fixture.h"

#include <QImage>
#include <QSaveFile>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

fs::path ScreenshotFolder()
{
    const char* chosen = std::getenv("QUILLMARK_SCREENSHOT_DIR");
    return chosen && *chosen ? fs::path(chosen) : fs::path(QUILLMARK_SCREENSHOT_DEFAULT_DIR);
}

bool IsGreen(QColor c) { return c.green() > 100 && c.red() < 60 && c.blue() < 60; }
bool IsRed(QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }

// How many pixels of `area` have the colour.
int Count(const QImage& image, const QRect& area, bool (*wanted)(QColor))
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += wanted(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

class Screenshots : public DialogFixture {
protected:
    // Saves the window as it looks now and hands the picture back.
    QImage Save(const char* name)
    {
        const fs::path folder = ScreenshotFolder();
        fs::create_directories(folder);
        const QImage picture = dialog->grab().toImage();
        const QString path = QString::fromStdString((folder / name).string());
        // Written whole or not at all, so a run beside this one never reads
        // half a picture.
        QSaveFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG") && file.commit())
            << path.toStdString();
        EXPECT_EQ(QImage(path).size(), QSize(640, 540)) << path.toStdString();
        return picture;
    }
};

TEST_F(Screenshots, SetupAndResultPagesOfADemoUpdate)
{
    OpenOnDemo();
    ASSERT_TRUE(TabTo(Control::macBox3));
    Type("123456789A");
    const QImage setup = Save("setup_page.png");
    // The board status in green beside the board picture.
    EXPECT_GT(Count(setup, QRect(430, 380, 200, 20), IsGreen), 20);

    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus("Firmware update successful! Please reset the board."));
    const QImage result = Save("result_page.png");
    EXPECT_GT(Count(result, QRect(20, 395, 600, 20), IsGreen), 50);
}

TEST_F(Screenshots, ResultPageWaitingForTheBoard)
{
    OpenOnDemo(DemoOptions{{"--fast", "--never-greet"}, 0.001});
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus(
        "Waiting for user to press the board reset switch or to erase the flash..."));
    const QImage waiting = Save("result_page_waiting.png");
    // The instructions lie over the board photo: some of their red shows.
    EXPECT_GT(Count(waiting, QRect(20, 78, 594, 299), IsRed), 0);
}

TEST_F(Screenshots, SetupPageWithTwoBoards)
{
    OpenOnFolder({"firmware.bin"});
    ports.AddExtraPort("ttyUSB0");
    ports.AddExtraPort("ttyUSB10");
    ASSERT_TRUE(PumpUntil([&] { return Visible(Control::portList); }));
    Save("setup_page_two_boards.png");
    // The list's entries fit its box.
    QWidget* list = Window(Control::portList);
    EXPECT_LE(list->fontMetrics().horizontalAdvance("Board on ttyUSB10"), list->width() - 24);
}

}  // namespace
