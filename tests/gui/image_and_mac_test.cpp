// The image and the MAC address an update would use, through the assembled
// window: Browse and Default File with the real folder monitor, and the
// updates that must not start (a MAC that is no MAC, an image that no longer
// loads).

#include "dialog_fixture.h"

#include "job/status_table.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class ImageAndMac : public DialogFixture {
protected:
    // Answers the open-file question with `path`, as if the user chose it.
    void BrowseTo(const std::string& path)
    {
        dialog->askOpenFile = [path, this](const OpenFileQuestion& question) {
            askedTitle = std::string(question.title);
            return std::optional<std::string>(path);
        };
        Click(Control::browseButton);
    }

    std::string askedTitle;
};

TEST_F(ImageAndMac, BrowseShowsTheFullPathAndDefaultFileReturnsToTheFolder)
{
    OpenOnFolder({"folder_image.bin"});
    TempDir elsewhere;
    const std::string chosen = elsewhere.Write("chosen.bin", RandomBytes(500, 7));
    BrowseTo(chosen);
    EXPECT_EQ(askedTitle, "Open Image File..");
    ASSERT_TRUE(PumpUntil([&] { return Text(Control::imageLabel) == QString::fromStdString(chosen); }));
    EXPECT_TRUE(Window(Control::defaultFileButton)->isEnabled());

    Click(Control::defaultFileButton);
    ASSERT_TRUE(PumpUntil([&] { return Text(Control::imageLabel) == "folder_image.bin"; }));
    EXPECT_FALSE(Window(Control::defaultFileButton)->isEnabled());
}

TEST_F(ImageAndMac, AnImageThatNoLongerLoadsIsReportedAndNoJobRuns)
{
    OpenOnDemo();
    TempDir elsewhere;
    const std::string chosen = elsewhere.Write("vanishing.bin", RandomBytes(500, 8));
    BrowseTo(chosen);
    ASSERT_TRUE(PumpUntil([&] { return Text(Control::imageLabel) == QString::fromStdString(chosen); }));
    fs::remove(chosen);

    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus("Could not read/open file"));
    EXPECT_EQ(TextColor(Control::statusLabel), kRed);
    EXPECT_FALSE(dialog->Services().HasSerialJob());
    EXPECT_TRUE(Window(Control::backButton)->isEnabled());
    EXPECT_TRUE(Window(Control::closeButton)->isEnabled());
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0],
              "Unable to open Flash File!\n" + chosen + ": No such file or directory");
}

// Pasted text is not filtered by the boxes, so the dialog checks the whole
// address before it programs anything.
TEST_F(ImageAndMac, APastedMacThatIsNoMacIsRefusedBeforeAnyJob)
{
    OpenOnDemo();
    ASSERT_TRUE(TabTo(Control::macBox5));
    QApplication::clipboard()->setText("1G");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Text(Control::macBox5), "1G");

    Click(Control::updateButton);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("16 hexadecimal digits"), std::string::npos);
    EXPECT_FALSE(dialog->Services().HasSerialJob());
    EXPECT_TRUE(Visible(Control::updateButton));
    EXPECT_EQ(QApplication::focusWidget(), Window(Control::macBox5));
}

}  // namespace
