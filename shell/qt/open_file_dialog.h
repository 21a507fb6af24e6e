#pragma once
// The open-file question as the toolkit's file dialog.

#include "wizard/dialog_ui.h"

#include <QFileDialog>
#include <QString>

#include <memory>

// The question's filters in the toolkit's form: "Description (patterns)",
// separated by ";;".
QString FileFilter(const OpenFileQuestion& question);

// A file dialog that asks `question`, not yet shown.
std::unique_ptr<QFileDialog> MakeOpenFileDialog(QWidget* parent, const OpenFileQuestion& question);
