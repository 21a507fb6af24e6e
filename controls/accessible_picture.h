#pragma once
// Pictures are read as graphics by their names. A picture that only
// decorates the page is reported invisible, so that a screen reader passes
// it by, as it passes the parts of the page it cannot see.

class QWidget;

// Marks the picture as decoration.
void MarkAsDecoration(QWidget* picture);

// Lets Qt's accessibility ask this file about every picture; done once, when
// the first picture is made.
void InstallPictureAccessibility();
