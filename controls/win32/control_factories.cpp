#include "controls/win32/control_factories.h"

#include "controls/win32/color_label.h"
#include "controls/win32/custom_button.h"
#include "controls/win32/custom_combo.h"
#include "controls/win32/custom_radio_button.h"
#include "controls/win32/param_edit.h"
#include "controls/win32/shared_fonts.h"
#include "platform/win32/wide_text.h"

#include <commctrl.h>

namespace {

int nextControlId = kFirstControlIdentifier;

// The box that owns the MAC box's object as long as the entry lives.
class MacBoxEntry : public LoaderControl {
public:
    explicit MacBoxEntry(HWND edit) : box(edit) {}
    CParamEdit box;
};

HWND CreateControl(HWND dialog, ControlKind kind, const wchar_t* windowClass, std::string_view text,
                   int extraHeight = 0) {
    const KindTraits& traits = TraitsOf(kind);
    const int id = traits.numbered ? nextControlId++ : kUnnumberedIdentifier;
    return ::CreateWindowExW(0, windowClass, Widen(text).c_str(), traits.style, 0, 0,
                             traits.window.width, traits.window.height + extraHeight, dialog,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

std::unique_ptr<LoaderControl> Register(std::unique_ptr<LoaderControl> entry, HWND window,
                                        ControlKind kind, HFONT font) {
    if (font) ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const KindTraits& traits = TraitsOf(kind);
    entry->window = window;
    entry->width = traits.entry.width;
    entry->height = traits.entry.height;
    entry->font = font;
    return entry;
}

std::unique_ptr<LoaderControl> Register(HWND window, ControlKind kind, HFONT font) {
    return Register(std::make_unique<LoaderControl>(), window, kind, font);
}

void LoadCommonControls() {
    static const bool loaded = [] {
        const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
        return ::InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)loaded;
}

}  // namespace

int ControlId(HWND window) { return ::GetDlgCtrlID(window); }

std::unique_ptr<LoaderControl> CreateLabel(HWND dialog, std::string_view text, HFONT font) {
    const HWND window = CreateControl(dialog, ControlKind::label, WC_STATICW, text);
    ColorLabel::Attach(window);
    return Register(window, ControlKind::label, font);
}

std::unique_ptr<LoaderControl> CreateMacBox(HWND dialog, std::string_view text, HFONT font) {
    const HWND window = CreateControl(dialog, ControlKind::macBox, WC_EDITW, text);
    ::SendMessageW(window, EM_LIMITTEXT, 2, 0);
    return Register(std::make_unique<MacBoxEntry>(window), window, ControlKind::macBox, font);
}

std::unique_ptr<LoaderControl> CreateButton(HWND dialog, std::string_view text, HFONT font,
                                            ControlAction action) {
    const HWND window = CreateControl(dialog, ControlKind::button, WC_BUTTONW, text);
    CustomButton::Attach(window, std::move(action));
    return Register(window, ControlKind::button, font);
}

std::unique_ptr<LoaderControl> CreateRadio(HWND dialog, std::string_view text, HFONT font,
                                           ControlAction action) {
    const HWND window = CreateControl(dialog, ControlKind::radio, WC_BUTTONW, text);
    CCustomRadioButton::Attach(window, std::move(action));
    return Register(window, ControlKind::radio, font);
}

std::unique_ptr<LoaderControl> CreatePortList(HWND dialog, ControlAction action) {
    CreateFonts();
    const HWND window =
        CreateControl(dialog, ControlKind::portList, WC_COMBOBOXW, "", kDroppedListHeight);
    CustomCombo::Attach(window, std::move(action));
    return Register(window, ControlKind::portList, SharedFont({10, true}));
}

std::unique_ptr<LoaderControl> CreateProgressBar(HWND dialog) {
    LoadCommonControls();
    const HWND window = CreateControl(dialog, ControlKind::progressBar, PROGRESS_CLASSW, "");
    ::SendMessageW(window, PBM_SETRANGE32, 0, 100);
    ::SendMessageW(window, PBM_SETPOS, 0, 0);
    return Register(window, ControlKind::progressBar, nullptr);
}
