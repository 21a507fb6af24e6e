#pragma once
// The user-interface operations the dialog's logic is written against. The
// Qt shell implements them on real widgets; the tests on a fake. Every
// operation runs on the dialog's thread.

#include "wizard/colors.h"
#include "wizard/dialog_controls.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One kind of file the user may choose from, shown as its description
// followed by its patterns in brackets: "Image Files (*.bin *.s19)".
struct OpenFileFilter {
    std::string_view description;
    std::vector<std::string> patterns;
};

// What "Browse..." asks the user.
struct OpenFileQuestion {
    std::string_view title;
    std::vector<OpenFileFilter> filters;  // the first one preselected
    std::string_view defaultExtension;
    bool pathMustExist = true;
    std::string startFolder;  // the folder shown first
};

class IDialogUi {
public:
    virtual ~IDialogUi() = default;

    // Sets the text only when it differs (exact comparison) and then redraws
    // that control. Returns whether it changed.
    virtual bool SetTextIfChanged(Control control, std::string_view text) = 0;
    // Sets a label's text color only when it differs and records it.
    // Returns whether it changed.
    virtual bool SetLabelColor(Control control, ColorRef color) = 0;
    virtual void Enable(Control control, bool enabled) = 0;
    // Whether the control appears with its page; takes effect at the next
    // ShowPage of that page.
    virtual void SetShown(Control control, bool shown) = 0;
    virtual bool IsShown(Control control) const = 0;
    // Hides the page shown last, shows the given page's entries whose shown
    // flag is set (page order), makes it current and redraws the dialog.
    virtual void ShowPage(Page page) = 0;
    // The page shown last; none before the first ShowPage.
    virtual std::optional<Page> CurrentPage() const = 0;
    virtual bool IsChecked(Control radio) const = 0;
    virtual std::string BoxText(Control box) const = 0;
    virtual void SetFocus(Control control) = 0;

    virtual void PortListReset() = 0;
    virtual void PortListAdd(std::string_view text) = 0;
    // Selects the entry whose text equals `text` exactly. Returns whether
    // one did; the selection is unchanged otherwise.
    virtual bool PortListSelectExact(std::string_view text) = 0;
    virtual void PortListSelectFirst() = 0;
    virtual int PortListCount() const = 0;
    // The selected entry's text; empty when nothing is selected.
    virtual std::string PortListSelectedText() const = 0;

    virtual void SetProgress(int percent) = 0;
    // Invalidates the whole client area with background erase.
    virtual void RedrawDialog() = 0;
    // The chosen path, or none when the user cancelled.
    virtual std::optional<std::string> AskOpenFile(const OpenFileQuestion& question) = 0;
    virtual void EndDialog(int result) = 0;
    // The application's modal message box.
    virtual void ShowMessage(std::string_view text) = 0;
    // A modal yes-or-no question whose default answer is no.
    virtual bool AskYesNo(std::string_view question) = 0;
};
