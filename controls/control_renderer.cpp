#include "controls/control_renderer.h"

#include "controls/shared_fonts.h"

#include <QWidget>

ControlRenderer::ControlRenderer(QWidget* ownerWindow) : owner(ownerWindow) {
    CreateFonts();
}

void ControlRenderer::ShowPage(const ControlPage& page) {
    if (currentPage) {
        for (LoaderControl* entry : *currentPage) entry->window->hide();
    }
    QWidget* previous = nullptr;
    for (LoaderControl* entry : page) {
        if (!entry->shown) continue;
        QWidget* window = entry->window;
        window->raise();
        if (previous) QWidget::setTabOrder(previous, window);
        window->show();
        previous = window;
    }
    currentPage = &page;
    owner->update();
}
