#pragma once
// The window's yes-or-no question: a warning box whose default answer is no,
// so that Enter pressed out of habit keeps what is running.

#include <QMessageBox>
#include <QString>

#include <memory>

std::unique_ptr<QMessageBox> MakeYesNoBox(QWidget* parent, const QString& caption,
                                          const QString& question);
