#include "controls/control_factories.h"

#include "controls/accessible_picture.h"
#include "controls/color_label.h"
#include "controls/custom_button.h"
#include "controls/custom_combo.h"
#include "controls/custom_radio_button.h"
#include "controls/param_edit.h"
#include "controls/picture_ex.h"
#include "controls/shared_fonts.h"

#include <QProgressBar>
#include <QVariant>

namespace {

int nextControlId = kFirstControlIdentifier;

// The kind's creation rectangle from 0, 0, its identifier and its recorded
// size come from the page tables' kind traits.
std::unique_ptr<LoaderControl> Register(QWidget* window, ControlKind kind, QFont* font) {
    if (!FontsCreated()) CreateFonts();
    const KindTraits& traits = TraitsOf(kind);
    window->setGeometry(0, 0, traits.window.width, traits.window.height);
    window->setProperty(kControlIdProperty,
                        traits.numbered ? nextControlId++ : kUnnumberedIdentifier);
    if (font) window->setFont(*font);
    window->hide();
    auto entry = std::make_unique<LoaderControl>();
    entry->window = window;
    entry->width = traits.entry.width;
    entry->height = traits.entry.height;
    entry->font = font;
    return entry;
}


}  // namespace

int ControlId(const QWidget* window) { return window->property(kControlIdProperty).toInt(); }

std::unique_ptr<LoaderControl> CreateLabel(QWidget* dialog, const QString& text, QFont* font) {
    return Register(new ColorLabel(text, dialog), ControlKind::label, font);
}

std::unique_ptr<LoaderControl> CreateMacBox(QWidget* dialog, const QString& text, QFont* font) {
    auto* box = new CParamEdit(dialog);
    auto entry = Register(box, ControlKind::macBox, font);
    box->setText(text);
    return entry;
}

std::unique_ptr<LoaderControl> CreateButton(QWidget* dialog, const QString& text, QFont* font,
                                            ControlAction action) {
    auto* button = new CustomButton(text, std::move(action), dialog);
    return Register(button, ControlKind::button, font);
}

std::unique_ptr<LoaderControl> CreateRadio(QWidget* dialog, const QString& text, QFont* font,
                                           ControlAction action) {
    auto* radio = new CCustomRadioButton(text, std::move(action), dialog);
    return Register(radio, ControlKind::radio, font);
}

std::unique_ptr<LoaderControl> CreatePortList(QWidget* dialog, ControlAction action) {
    if (!FontsCreated()) CreateFonts();
    auto* list = new CustomCombo(std::move(action), dialog);
    return Register(list, ControlKind::portList, SharedFont(SharedFontId::Bold10));
}

std::unique_ptr<LoaderControl> CreateProgressBar(QWidget* dialog) {
    auto* bar = new QProgressBar(dialog);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return Register(bar, ControlKind::progressBar, nullptr);
}

std::unique_ptr<LoaderControl> CreatePicture(QWidget* dialog, int number) {
    InstallPictureAccessibility();
    auto* picture = new CPictureEx(dialog);
    auto entry = Register(picture, ControlKind::picture, nullptr);
    if (picture->LoadFromResource(number)) picture->Show();
    return entry;
}
