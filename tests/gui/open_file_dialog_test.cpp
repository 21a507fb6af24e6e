// The file dialog behind "Browse...", as the assembled window asks for it:
// built from the window's own question and looked at without being run.

#include "dialog_fixture.h"

#include "shell/qt/open_file_dialog.h"

#include <QFileSystemModel>

#include <algorithm>

namespace {

class OpenFileDialog : public DialogFixture {
protected:
    // The question the window asks when "Browse..." is clicked; cancelled.
    OpenFileQuestion Asked()
    {
        std::optional<OpenFileQuestion> asked;
        dialog->askOpenFile = [&asked](const OpenFileQuestion& question) {
            asked = question;
            return std::optional<std::string>();
        };
        Click(Control::browseButton);
        EXPECT_TRUE(asked);
        return asked.value_or(OpenFileQuestion{});
    }

    // The names the file dialog lists in `folder` under its current filter.
    static std::string Listed(const QFileDialog& files, const QString& folder)
    {
        auto* model = files.findChild<QFileSystemModel*>();
        const QModelIndex root = model->index(folder);
        QStringList names;
        for (int row = 0; row < model->rowCount(root); ++row)
            names << model->fileName(model->index(row, 0, root));
        names.sort();
        return names.join(" ").toStdString();
    }
};

TEST_F(OpenFileDialog, OpensInTheProgramFolderAndListsImagesOrEveryFile)
{
    OpenOnFolder({});  // no image: the folder the images are looked for in
    const OpenFileQuestion question = Asked();
    for (const char* name : {"firmware", "board.bin", "board.srec", "notes.txt"})
        programFolder.Write(name, "S0030000FC\n");
    const std::unique_ptr<QFileDialog> files = MakeOpenFileDialog(dialog.get(), question);
    const QString folder = QString::fromStdString(programFolder.Path().string());
    EXPECT_EQ(files->directory().absolutePath(), folder);

    const QStringList filters = files->nameFilters();
    EXPECT_EQ(filters.join(";;").toStdString(),
              "Image Files (*.bin *.s19 *.srec *.s28 *.s37 *.mot);;"
              "S-record Files (*.s19 *.srec *.s28 *.s37 *.mot);;All Files (*)");
    const std::string listed[] = {"board.bin board.srec", "board.srec",
                                  "board.bin board.srec firmware notes.txt"};
    for (int k = 0; k < std::min<int>(filters.size(), 3); ++k) {
        files->selectNameFilter(filters[k]);
        PumpUntil([&] { return Listed(*files, folder) == listed[k]; }, std::chrono::seconds(5));
        EXPECT_EQ(Listed(*files, folder), listed[k]) << filters[k].toStdString();
    }

    // An image whose name has no dot is taken by that name.
    files->selectFile("firmware");
    EXPECT_EQ(files->selectedFiles().join(" ").toStdString(), (folder + "/firmware").toStdString());
}

}  // namespace
