// Pictures of the pages for people to look at: the setup page on the demo
// machine and without an image, the result page while a job programs the
// board, after a finished demo update and while the job waits for the board
// to be reset, and the question asked when the window is closed during an
// update. They are written to $QUILLMARK_SCREENSHOT_DIR, or build/screenshots.

#include "dialog_fixture.h"

#include "shell/qt/yes_no_box.h"
#include "wizard/dialog_texts.h"

#include <QImage>
#include <QPushButton>
#include <QProgressBar>
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

// How many pixels of `area` have the color.
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
    // Saves the window (or another one) as it looks now and hands the
    // picture back.
    QImage Save(const char* name, QWidget* window = nullptr)
    {
        const fs::path folder = ScreenshotFolder();
        fs::create_directories(folder);
        if (!window)
            window = dialog.get();
        const QImage picture = window->grab().toImage();
        const QString path = QString::fromStdString((folder / name).string());
        // Written whole or not at all, so a run beside this one never reads
        // half a picture.
        QSaveFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG") && file.commit())
            << path.toStdString();
        EXPECT_EQ(QImage(path).size(), window->size()) << path.toStdString();
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

TEST_F(Screenshots, ResultPageWhileProgrammingAndTheQuestionOnClosing)
{
    OpenOnDemo(DemoOptions{{"--fast", "--write-us", "100"}, 0.001});
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus("Programming Flash..."));
    ASSERT_TRUE(PumpUntil([&] { return Window<QProgressBar>(Control::progressBar)->value() >= 30; }));
    Save("result_page_programming.png");

    auto question = MakeYesNoBox(dialog.get(), dialog->windowTitle(),
                                 QString::fromUtf8(kQuitDuringJobQuestion.data(),
                                                   static_cast<qsizetype>(kQuitDuringJobQuestion.size())));
    question->show();  // laid out as exec() would, without waiting for an answer
    PumpUntil([] { return false; }, std::chrono::milliseconds(100));
    Save("quit_question.png", question.get());
    question->hide();
    EXPECT_EQ(static_cast<QAbstractButton*>(question->defaultButton()), question->button(QMessageBox::No));
    ASSERT_TRUE(WaitForStatus("Firmware update successful! Please reset the board."));
}

TEST_F(Screenshots, SetupPageWithoutAnImage)
{
    OpenOnFolder({});
    const QImage setup = Save("setup_page_no_image.png");
    // The image line in red, with the folder to copy one into below it.
    EXPECT_GT(Count(setup, QRect(20, 140, 600, 40), IsRed), 50);
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
