#pragma once
// Shows one page of controls at a time on the dialog.

#include "controls/loader_control.h"

#include <vector>

class QWidget;

using ControlPage = std::vector<LoaderControl*>;

class ControlRenderer {
public:
    // Also makes sure that the shared fonts exist.
    explicit ControlRenderer(QWidget* owner);
    virtual ~ControlRenderer() = default;

    // Hides the page shown last and shows the entries of `page` whose shown
    // flag is set. Page order is stacking order (a later entry is drawn over
    // an earlier one) and tab order. The page must outlive its showing. The
    // keyboard focus stays where it is while that control stays on the screen.
    void ShowPage(const ControlPage& page);

    const ControlPage* currentPage = nullptr;
    QWidget* const owner;

private:
    void KeepFocusOn(const std::vector<QWidget*>& shown);
};
