#include "shell/win32/firmware_dialog.h"

#include "controls/win32/control_factories.h"
#include "controls/win32/entry_operations.h"
#include "controls/win32/keyboard_groups.h"
#include "controls/win32/param_edit.h"
#include "controls/win32/reflect.h"
#include "controls/win32/shared_fonts.h"
#include "platform/win32/wide_text.h"
#include "shell/win32/open_file_question.h"
#include "shell/win32/window_frame.h"

#include <commctrl.h>

#include <cstring>
#include <iostream>
#include <vector>

namespace {

// Each kind's Windows control with its table entry's text and font at the
// window's DPI; what the user does with it goes to the dialog's logic.
class Win32ControlMaker {
public:
    Win32ControlMaker(HWND dialog, int dpi, CFirmwareDialogLogic& logic)
        : dialog(dialog), dpi(dpi), logic(logic)
    {
    }

    auto Label(const PageEntry& e) { return CreateLabel(dialog, e.text, FontOf(e)); }
    auto MacBox(const PageEntry& e) { return CreateMacBox(dialog, e.text, FontOf(e)); }
    auto Button(const PageEntry& e) { return CreateButton(dialog, e.text, FontOf(e), ActionOf(e)); }
    auto Radio(const PageEntry& e) { return CreateRadio(dialog, e.text, FontOf(e), ActionOf(e)); }
    auto PortList(const PageEntry& e) { return CreatePortList(dialog, ActionOf(e)); }
    auto ProgressBar(const PageEntry&) { return CreateProgressBar(dialog); }
    auto Picture(const PageEntry& e) { return CreatePicture(dialog, e.picture); }

private:
    HFONT FontOf(const PageEntry& e) const { return e.font ? SharedFont(*e.font, dpi) : nullptr; }
    ControlAction ActionOf(const PageEntry& e)
    {
        return [&logic = logic, action = e.action] { logic.RunAction(action); };
    }

    const HWND dialog;
    const int dpi;
    CFirmwareDialogLogic& logic;
};

// The dialog's template has no controls: a pop-up with caption, system menu
// and a fixed frame, shown in the taskbar, "MS Shell Dlg" at 8 points and a
// size in dialog units that the initialisation replaces.
class DialogTemplate {
public:
    DialogTemplate()
    {
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE |
                            DS_MODALFRAME | DS_SETFONT | DS_CENTER;
        AddLong(style);
        AddLong(WS_EX_APPWINDOW);
        words.push_back(0);  // no controls
        for (const short value : {0, 0, 418, 228})
            words.push_back(static_cast<WORD>(value));
        words.push_back(0);  // no menu
        words.push_back(0);  // the dialog class
        AddText(Widen(kDialogCaption));
        words.push_back(8);
        AddText(L"MS Shell Dlg");
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(storage.data()); }

    // The words, copied into storage aligned as the system wants it.
    void Seal()
    {
        storage.assign((words.size() + 1) / 2, 0);
        std::memcpy(storage.data(), words.data(), words.size() * sizeof(WORD));
    }

private:
    void AddLong(DWORD value)
    {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    }
    void AddText(const std::wstring& text)
    {
        words.insert(words.end(), text.begin(), text.end());
        words.push_back(0);
    }

    std::vector<WORD> words;
    std::vector<DWORD> storage;
};

bool IsDialogMessageNumber(UINT message)
{
    return message >= WM_COMPORTS_CHANGED && message <= kLastApplicationMessage;
}

bool IsColorRequest(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// Declared by the headers only for newer Windows; the messages arrive where
// the system has them, and nowhere else.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kGetDpiScaledSize = 0x02E4;

// The answer of a dialog procedure to a message whose result is not its
// return value.
INT_PTR Answer(HWND window, LRESULT value)
{
    SetWindowLongPtrW(window, DWLP_MSGRESULT, value);
    return TRUE;
}

}  // namespace

CVelkanFirmwareGUIDlg::CVelkanFirmwareGUIDlg(const ServicesFactory& makeLoaderManager)
    : loaderManager(makeLoaderManager(messages)),
      logic(std::make_unique<CFirmwareDialogLogic>(*this, *loaderManager))
{
    icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource));
    background = CreateSolidBrush(kDialogBackground);
}

CVelkanFirmwareGUIDlg::~CVelkanFirmwareGUIDlg()
{
    // The monitors and jobs stop first, while the pages they report to exist.
    loaderManager.reset();
    messages.Attach(nullptr);
    if (window)
        DestroyWindow(window);
    DeleteObject(background);
}

bool CVelkanFirmwareGUIDlg::Create()
{
    DialogTemplate dialogTemplate;
    dialogTemplate.Seal();
    window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.Get(), nullptr,
                                        DialogProc, reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

int CVelkanFirmwareGUIDlg::RunModal()
{
    MSG message;
    while (!ended) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // A quit request belongs to the loop outside this one.
            if (got == 0)
                PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        Dispatch(message);
    }
    if (window) {
        DestroyWindow(window);
        window = nullptr;
    }
    return result;
}

void CVelkanFirmwareGUIDlg::Dispatch(MSG& message)
{
    if (window && IsDialogMessageW(window, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

INT_PTR CALLBACK CVelkanFirmwareGUIDlg::DialogProc(HWND window, UINT message, WPARAM wparam,
                                                   LPARAM lparam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CVelkanFirmwareGUIDlg*>(lparam);
        SetWindowLongPtrW(window, DWLP_USER, lparam);
        dialog->window = window;
        return dialog->OnInitDialog();
    }
    auto* dialog = reinterpret_cast<CVelkanFirmwareGUIDlg*>(GetWindowLongPtrW(window, DWLP_USER));
    return dialog ? dialog->OnMessage(message, wparam, lparam) : FALSE;
}

INT_PTR CVelkanFirmwareGUIDlg::OnMessage(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (IsDialogMessageNumber(message))
        return Answer(window, logic->HandleMessage(message, wparam, lparam));
    LRESULT reflected = 0;
    if ((message == WM_COMMAND || IsColorRequest(message)) &&
        ReflectToControl(message, wparam, lparam, reflected))
        return message == WM_COMMAND ? Answer(window, reflected) : static_cast<INT_PTR>(reflected);
    switch (message) {
    case WM_COMMAND:
        return OnCommand(wparam) ? Answer(window, 0) : FALSE;
    case WM_CLOSE:
        OnClose();
        return Answer(window, 0);
    case WM_DESTROY:
        // The controls still exist here; after this their handles are free.
        if (annotation)
            annotation->ClearAll();
        return FALSE;
    case WM_ERASEBKGND:
        return Answer(window, OnEraseBackground(reinterpret_cast<HDC>(wparam)));
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(icon);
    case WM_SETFOCUS:
        OnSetFocus();
        return TRUE;
    case kGetDpiScaledSize:
        // The system's own guess scales the frame with the client area; the
        // frame at the new DPI around the scaled page is what fits exactly.
        *reinterpret_cast<SIZE*>(lparam) = OuterSizeAt(LOWORD(wparam));
        return Answer(window, TRUE);
    case kDpiChanged:
        OnDpiChanged(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
        return Answer(window, 0);
    default:
        break;
    }
    if (IsColorRequest(message)) {
        // Whatever sits on the page without a color of its own sits on white.
        SetBkColor(reinterpret_cast<HDC>(wparam), kDialogBackground);
        return reinterpret_cast<INT_PTR>(background);
    }
    return FALSE;
}

BOOL CVelkanFirmwareGUIDlg::OnInitDialog()
{
    messages.Attach(window);
    if (onWindowCreated)
        onWindowCreated(window);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    // The pages are laid out in the client area; the frame around it is the
    // system's, and larger on newer Windows and at higher DPI.
    dpi = static_cast<int>(WindowDpi(window));
    SizeWindowForClient(window, ScaleToDpi(kClientSize, dpi));
    logic->Initialise([this] { BuildPages(); });
    // The logic has put the focus where it belongs.
    return FALSE;
}

// Enter outside a push button is command 1, Esc is IDCANCEL: Esc ends the
// dialog unless a job is writing to the board.
bool CVelkanFirmwareGUIDlg::OnCommand(WPARAM wparam)
{
    const int identifier = LOWORD(wparam);
    if (identifier == IDCANCEL) {
        if (logic->EscapeEndsDialog())
            EndDialog(IDCANCEL);
        return true;
    }
    if (identifier == IDOK || identifier == 3) {
        logic->HandleCommand(identifier);
        return true;
    }
    return false;
}

// The default handling would hand the focus to the control the dialog
// manager saved last, which may have been hidden with the page the user
// left: typing would then change a box no one sees. The focus goes to the
// first control of the page on the screen that takes it, else it stays on
// the dialog.
void CVelkanFirmwareGUIDlg::OnSetFocus()
{
    const HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
    const bool takesFocus = first && first != window && IsWindowVisible(first) &&
                            IsWindowEnabled(first) &&
                            (GetWindowLongPtrW(first, GWL_STYLE) & WS_TABSTOP);
    if (takesFocus)
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

// The window moved to a screen of another DPI, or the user changed the
// scale: the system's rectangle keeps the window where the user sees it.
void CVelkanFirmwareGUIDlg::OnDpiChanged(int newDpi, const RECT& suggested)
{
    dpi = newDpi;
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (const PageTable* table : {&SetupPageTable(), &ResultPageTable()})
        for (const PageEntry& entry : table->entries)
            LayOut(entry);
    InvalidateRect(window, nullptr, TRUE);
}

SIZE CVelkanFirmwareGUIDlg::OuterSizeAt(int newDpi) const
{
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    const Extent outer = OuterSizeForClient(ScaleToDpi(kClientSize, newDpi), style, exStyle,
                                            static_cast<UINT>(newDpi));
    return SIZE{outer.width, outer.height};
}

void CVelkanFirmwareGUIDlg::OnClose()
{
    if (logic->ConfirmClose())
        EndDialog(IDCANCEL);
}

BOOL CVelkanFirmwareGUIDlg::OnEraseBackground(HDC context)
{
    RECT client;
    GetClientRect(window, &client);
    return FillRect(context, &client, background) != 0;
}

void CVelkanFirmwareGUIDlg::BuildPages()
{
    renderer = std::make_unique<ControlRenderer>(window);
    annotation = std::make_unique<AccessibleAnnotation>();
    annotation->onGiven = onAccessibleProperty;
    Win32ControlMaker maker(window, dpi, *logic);
    book.Build(maker, [this](LoaderControl& control, const PageEntry& entry) {
        PlaceControl(control, entry);
    });
    LinkMacBoxes();
    for (const PageTable* table : {&SetupPageTable(), &ResultPageTable()})
        GroupForKeyboard(*table, [this](Control control) { return Entry(control).window; });
}

void CVelkanFirmwareGUIDlg::PlaceControl(LoaderControl& control, const PageEntry& entry)
{
    annotation->Annotate(control.window, entry);
    LayOut(entry);
    EnableWindow(control.window, !entry.disabled);
    if (entry.kind == ControlKind::macBox) {
        if (entry.textLimit > 0)
            SendMessageW(control.window, EM_LIMITTEXT, entry.textLimit, 0);
        SendMessageW(control.window, EM_SETREADONLY, entry.readOnly, 0);
    }
    if (entry.kind == ControlKind::radio && entry.checked)
        SendMessageW(control.window, BM_SETCHECK, BST_CHECKED, 0);
    if (entry.color != kBlack)
        ::SetLabelColor(control, entry.color);
}

namespace {

// The size a control without one in its table is created with, at `dpi`.
Extent UnsizedWindowAt(const PageEntry& entry, int dpi)
{
    Extent size = ScaleToDpi(TraitsOf(entry.kind).window, dpi);
    if (entry.kind == ControlKind::portList)
        size.height += ScaleToDpi(kDroppedListHeight, dpi);
    return size;
}

}  // namespace

// Place, size and font at the window's DPI; the entry keeps the tables'
// 96-DPI figures, which the logic and the tests reason in.
void CVelkanFirmwareGUIDlg::LayOut(const PageEntry& entry)
{
    LoaderControl& control = Entry(entry.control);
    if (entry.font) {
        const HFONT font = SharedFont(*entry.font, dpi);
        if (font != control.font) {
            control.font = font;
            SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        }
    }
    // A picture sizes its window from its own picture.
    const bool picture = entry.kind == ControlKind::picture;
    if (picture)
        SetPictureDpi(control, dpi);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    Extent size{0, 0};
    if (entry.size)
        size = ScaleToDpi(*entry.size, dpi);
    else if (dpi != kLayoutDpi && !picture)
        size = UnsizedWindowAt(entry, dpi);
    else
        flags |= SWP_NOSIZE;
    const Placement at = ScaleToDpi(entry.position, dpi);
    SetWindowPos(control.window, nullptr, at.x, at.y, size.width, size.height, flags);
}

void CVelkanFirmwareGUIDlg::LinkMacBoxes()
{
    for (int k = 0; k + 1 < kMacBoxCount; ++k)
        CParamEdit::FromWindow(Entry(MacBox(k)).window)->next =
            CParamEdit::FromWindow(Entry(MacBox(k + 1)).window);
}

LoaderControl& CVelkanFirmwareGUIDlg::Entry(Control control) const { return book[control]; }

HWND CVelkanFirmwareGUIDlg::ControlWindow(Control control) const
{
    const LoaderControl* entry = book.Find(control);
    return entry ? entry->window : nullptr;
}

HWND CVelkanFirmwareGUIDlg::PortList() const { return Entry(Control::portList).window; }

// A label's text is its accessible name: a reader hears of the new status
// only through the event.
bool CVelkanFirmwareGUIDlg::SetTextIfChanged(Control control, std::string_view text)
{
    if (!::SetTextIfChanged(Entry(control), text))
        return false;
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Entry(control).window, OBJID_CLIENT, CHILDID_SELF);
    return true;
}

bool CVelkanFirmwareGUIDlg::SetLabelColor(Control control, ColorRef color)
{
    return ::SetLabelColor(Entry(control), color);
}

void CVelkanFirmwareGUIDlg::Enable(Control control, bool enabled)
{
    EnableWindow(Entry(control).window, enabled);
}

void CVelkanFirmwareGUIDlg::SetShown(Control control, bool shown) { book.SetShown(control, shown); }

bool CVelkanFirmwareGUIDlg::IsShown(Control control) const { return book.IsShown(control); }

void CVelkanFirmwareGUIDlg::ShowPage(Page page)
{
    renderer->ShowPage(book.PageList(page));
    book.TurnedTo(page);
}

std::optional<Page> CVelkanFirmwareGUIDlg::CurrentPage() const { return book.Current(); }

bool CVelkanFirmwareGUIDlg::IsChecked(Control radio) const
{
    return SendMessageW(Entry(radio).window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string CVelkanFirmwareGUIDlg::BoxText(Control box) const
{
    return WindowText(Entry(box).window);
}

void CVelkanFirmwareGUIDlg::SetFocus(Control control)
{
    // The dialog's own way, so that it keeps track of the default button.
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Entry(control).window), TRUE);
}

void CVelkanFirmwareGUIDlg::PortListReset() { SendMessageW(PortList(), CB_RESETCONTENT, 0, 0); }

void CVelkanFirmwareGUIDlg::PortListAdd(std::string_view text)
{
    const std::wstring wide = Widen(text);
    SendMessageW(PortList(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

namespace {

std::string ListText(HWND list, LRESULT index)
{
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Narrow(text);
}

}  // namespace

bool CVelkanFirmwareGUIDlg::PortListSelectExact(std::string_view text)
{
    // The list's own search ignores case; a port's name does not.
    const LRESULT count = SendMessageW(PortList(), CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        if (ListText(PortList(), index) == text) {
            SendMessageW(PortList(), CB_SETCURSEL, index, 0);
            return true;
        }
    }
    return false;
}

void CVelkanFirmwareGUIDlg::PortListSelectFirst() { SendMessageW(PortList(), CB_SETCURSEL, 0, 0); }

int CVelkanFirmwareGUIDlg::PortListCount() const
{
    return static_cast<int>(SendMessageW(PortList(), CB_GETCOUNT, 0, 0));
}

std::string CVelkanFirmwareGUIDlg::PortListSelectedText() const
{
    const LRESULT selected = SendMessageW(PortList(), CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? std::string() : ListText(PortList(), selected);
}

void CVelkanFirmwareGUIDlg::SetProgress(int percent)
{
    SendMessageW(Entry(Control::progressBar).window, PBM_SETPOS, percent, 0);
}

void CVelkanFirmwareGUIDlg::RedrawDialog() { InvalidateRect(window, nullptr, TRUE); }

std::optional<std::string> CVelkanFirmwareGUIDlg::AskOpenFile(const OpenFileQuestion& question)
{
    return askOpenFile ? askOpenFile(question) : AskOpenFileName(window, question);
}

void CVelkanFirmwareGUIDlg::EndDialog(int endResult)
{
    // The window goes when the loop that runs it ends, not in the middle of
    // the handler that asked for the end.
    ended = true;
    result = endResult;
    ShowWindow(window, SW_HIDE);
    PostMessageW(window, WM_NULL, 0, 0);
}

void CVelkanFirmwareGUIDlg::ShowMessage(std::string_view text)
{
    if (messageBox)
        messageBox->Show(text);
    else
        std::cerr << text << std::endl;
}

bool CVelkanFirmwareGUIDlg::AskYesNo(std::string_view question)
{
    if (askYesNo)
        return askYesNo(question);
    const std::wstring caption = Widen(kDialogCaption);
    return MessageBoxW(window, Widen(question).c_str(), caption.c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}
