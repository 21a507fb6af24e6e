#include "controls/control_renderer.h"

#include "controls/shared_fonts.h"

#include <QWidget>

#include <algorithm>

ControlRenderer::ControlRenderer(QWidget* ownerWindow) : owner(ownerWindow) {
    CreateFonts();
}

namespace {

std::vector<QWidget*> ShownWindows(const ControlPage& page) {
    std::vector<QWidget*> windows;
    for (LoaderControl* entry : page)
        if (entry->shown) windows.push_back(entry->window);
    return windows;
}

bool Contains(const std::vector<QWidget*>& windows, QWidget* window) {
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

}  // namespace

// Only what leaves the screen is hidden: hiding the control that has the
// focus, even for a moment, would move the focus away from what the user is
// typing into.
void ControlRenderer::ShowPage(const ControlPage& page) {
    const std::vector<QWidget*> shown = ShownWindows(page);
    if (currentPage) {
        for (LoaderControl* entry : *currentPage)
            if (!Contains(shown, entry->window)) entry->window->hide();
    }
    QWidget* previous = nullptr;
    for (QWidget* window : shown) {
        window->raise();
        if (previous) QWidget::setTabOrder(previous, window);
        window->show();
        previous = window;
    }
    currentPage = &page;
    KeepFocusOn(shown);
    owner->update();
}

// A hidden control must never hold the focus: a key meant for the page on
// the screen would act on it. The focus goes to the first control of the
// page that takes it, or to the dialog itself.
void ControlRenderer::KeepFocusOn(const std::vector<QWidget*>& shown) {
    QWidget* focus = owner->focusWidget();
    if (focus == owner || (focus && Contains(shown, focus))) return;
    for (QWidget* window : shown) {
        if (window->isEnabled() && (window->focusPolicy() & Qt::TabFocus)) {
            window->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    owner->setFocus(Qt::OtherFocusReason);
}
