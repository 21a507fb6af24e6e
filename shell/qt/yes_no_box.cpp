#include "shell/qt/yes_no_box.h"

std::unique_ptr<QMessageBox> MakeYesNoBox(QWidget* parent, const QString& caption,
                                          const QString& question)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, caption, question,
                                             QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    return box;
}
