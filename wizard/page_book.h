#pragma once
// Both pages of a window as entries of its toolkit: built by walking the page
// tables once, then looked up by control and shown a page at a time. `Entry`
// is the toolkit's control entry (a ControlEntry); `Maker` makes one of each
// kind from its table entry:
//   Label, MacBox, Button, Radio, PortList, ProgressBar, Picture
//   (const PageEntry&) -> std::unique_ptr<Entry>

#include "wizard/dialog_controls.h"
#include "wizard/page_tables.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

template <typename Entry>
class PageBook {
public:
    // Creates every control in the tables' creation order, then places each
    // page's entries in page order: the book records the table's place, size
    // and first shown flag, and `place` does the toolkit's part.
    template <typename Maker, typename Place>
    void Build(Maker& maker, Place place)
    {
        setupPage.clear();
        resultPage.clear();
        BuildPagesFromTables([&](const PageEntry& entry) { Slot(entry.control) = Make(maker, entry); },
                             [&](Page page, const PageEntry& entry) {
                                 Entry& control = (*this)[entry.control];
                                 Record(control, entry);
                                 place(control, entry);
                                 List(page).push_back(&control);
                             });
    }

    Entry& operator[](Control control) const { return *entries[Index(control)]; }
    // Null before the pages are built.
    Entry* Find(Control control) const { return entries[Index(control)].get(); }
    // The page's entries in page order: stacking and tab order.
    const std::vector<Entry*>& PageList(Page page) const
    {
        return page == Page::setup ? setupPage : resultPage;
    }

    // Called once the toolkit has shown the page: while it shows it, the
    // page before is still the current one.
    void TurnedTo(Page page) { current = page; }
    // None before the first page is shown.
    std::optional<Page> Current() const { return current; }

    // Whether a control belongs on its page when the page is shown.
    void SetShown(Control control, bool shown) { (*this)[control].shown = shown ? 1 : 0; }
    bool IsShown(Control control) const { return (*this)[control].shown != 0; }

private:
    template <typename Maker>
    static std::unique_ptr<Entry> Make(Maker& maker, const PageEntry& entry)
    {
        switch (entry.kind) {
        case ControlKind::label: return maker.Label(entry);
        case ControlKind::macBox: return maker.MacBox(entry);
        case ControlKind::button: return maker.Button(entry);
        case ControlKind::radio: return maker.Radio(entry);
        case ControlKind::portList: return maker.PortList(entry);
        case ControlKind::progressBar: return maker.ProgressBar(entry);
        case ControlKind::picture: return maker.Picture(entry);
        }
        return nullptr;
    }

    static void Record(Entry& control, const PageEntry& entry)
    {
        control.x = entry.position.x;
        control.y = entry.position.y;
        if (entry.size) {
            control.width = entry.size->width;
            control.height = entry.size->height;
        }
        control.shown = entry.shown ? 1 : 0;
    }

    std::unique_ptr<Entry>& Slot(Control control) { return entries[Index(control)]; }
    std::vector<Entry*>& List(Page page) { return page == Page::setup ? setupPage : resultPage; }

    std::array<std::unique_ptr<Entry>, kControlCount> entries;
    std::vector<Entry*> setupPage;
    std::vector<Entry*> resultPage;
    std::optional<Page> current;
};
