// The factory of the picture kind (declared with the others in
// control_factories.h).

#include "controls/win32/control_factories.h"
#include "controls/win32/picture_entry.h"

#include "wizard/page_tables.h"

std::unique_ptr<LoaderControl> CreatePicture(HWND dialog, int number) {
    const KindTraits& traits = TraitsOf(ControlKind::picture);
    auto entry = std::make_unique<PictureEntry>();
    entry->window = CreateWindowExW(
        0, L"STATIC", L"", traits.style, 0, 0, traits.window.width, traits.window.height, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kUnnumberedIdentifier)),
        GetModuleHandleW(nullptr), nullptr);
    entry->width = traits.entry.width;
    entry->height = traits.entry.height;
    if (entry->window) {
        entry->picture = std::make_unique<CPictureEx>(entry->window);
        if (entry->picture->LoadFromResource(number, L"GIF")) entry->picture->Show();
    }
    return entry;
}

void SetPictureDpi(LoaderControl& entry, int dpi) {
    if (auto* picture = dynamic_cast<PictureEntry*>(&entry); picture && picture->picture)
        picture->picture->SetDpi(dpi);
}
