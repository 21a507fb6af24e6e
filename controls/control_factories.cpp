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

int nextControlId = kFirstControlId;

struct KindGeometry {
    int windowWidth;  // the creation rectangle from 0, 0
    int windowHeight;
    int entryWidth;   // the size the entry records
    int entryHeight;
};

constexpr KindGeometry kLabel{600, 100, 500, 100};
constexpr KindGeometry kMacBox{500, 100, 500, 100};
constexpr KindGeometry kButton{100, 40, 100, 40};
constexpr KindGeometry kRadio{400, 20, 200, 20};
constexpr KindGeometry kPortList{180, 20, 200, 20};
constexpr KindGeometry kProgressBar{800, 30, 500, 30};
constexpr KindGeometry kPicture{500, 100, 100, 40};

std::unique_ptr<LoaderControl> Register(QWidget* window, const KindGeometry& kind, QFont* font,
                                        int id) {
    if (!FontsCreated()) CreateFonts();
    window->setGeometry(0, 0, kind.windowWidth, kind.windowHeight);
    window->setProperty(kControlIdProperty, id);
    if (font) window->setFont(*font);
    window->hide();
    auto entry = std::make_unique<LoaderControl>();
    entry->window = window;
    entry->width = kind.entryWidth;
    entry->height = kind.entryHeight;
    entry->font = font;
    return entry;
}

int TakeControlId() { return nextControlId++; }

}  // namespace

int ControlId(const QWidget* window) { return window->property(kControlIdProperty).toInt(); }

std::unique_ptr<LoaderControl> CreateLabel(QWidget* dialog, const QString& text, QFont* font) {
    return Register(new ColorLabel(text, dialog), kLabel, font, kStaticControlId);
}

std::unique_ptr<LoaderControl> CreateMacBox(QWidget* dialog, const QString& text, QFont* font) {
    auto* box = new CParamEdit(dialog);
    auto entry = Register(box, kMacBox, font, TakeControlId());
    box->setText(text);
    return entry;
}

std::unique_ptr<LoaderControl> CreateButton(QWidget* dialog, const QString& text, QFont* font,
                                            ControlAction action) {
    auto* button = new CustomButton(text, std::move(action), dialog);
    return Register(button, kButton, font, TakeControlId());
}

std::unique_ptr<LoaderControl> CreateRadio(QWidget* dialog, const QString& text, QFont* font,
                                           ControlAction action) {
    auto* radio = new CCustomRadioButton(text, std::move(action), dialog);
    return Register(radio, kRadio, font, TakeControlId());
}

std::unique_ptr<LoaderControl> CreatePortList(QWidget* dialog, ControlAction action) {
    if (!FontsCreated()) CreateFonts();
    auto* list = new CustomCombo(std::move(action), dialog);
    return Register(list, kPortList, SharedFont(SharedFontId::Bold10), TakeControlId());
}

std::unique_ptr<LoaderControl> CreateProgressBar(QWidget* dialog) {
    auto* bar = new QProgressBar(dialog);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return Register(bar, kProgressBar, nullptr, TakeControlId());
}

std::unique_ptr<LoaderControl> CreatePicture(QWidget* dialog, int number) {
    InstallPictureAccessibility();
    auto* picture = new CPictureEx(dialog);
    auto entry = Register(picture, kPicture, nullptr, kStaticControlId);
    if (picture->LoadFromResource(number)) picture->Show();
    return entry;
}
