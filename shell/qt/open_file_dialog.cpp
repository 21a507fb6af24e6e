#include "shell/qt/open_file_dialog.h"

#include "shell/qt/qt_text.h"

#include <QStringList>

QString FileFilter(const OpenFileQuestion& question)
{
    QStringList filters;
    // The toolkit reads the patterns from the brackets at the end.
    for (const OpenFileFilter& filter : question.filters) {
        QStringList patterns;
        for (const std::string& pattern : filter.patterns)
            patterns << ToQString(pattern);
        filters << ToQString(filter.description) + " (" + patterns.join(' ') + ")";
    }
    return filters.join(";;");
}

std::unique_ptr<QFileDialog> MakeOpenFileDialog(QWidget* parent, const OpenFileQuestion& question)
{
    auto dialog = std::make_unique<QFileDialog>(parent, ToQString(question.title),
                                                QString::fromStdString(question.startFolder),
                                                FileFilter(question));
    dialog->setFileMode(question.pathMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The toolkit appends the default extension to every name without a dot,
    // so an existing image called "firmware" would come back as a missing
    // "firmware.bin". A file that must exist is taken as it is named.
    if (!question.pathMustExist)
        dialog->setDefaultSuffix(ToQString(question.defaultExtension));
    return dialog;
}
