#pragma once
// The base of every window of ours: a modal dialog or a property-sheet page from a dialog
// template written into memory, with no controls in it (each window creates its own). Its
// messages come to one dispatch, which hands each kind to a handler the window overrides.

#include <windows.h>
#include <prsht.h>

#include <cstdint>
#include <memory>
#include <string>

class DialogBase {
public:
    static constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME;
    static_assert(kDialogStyle == 0x80CA0080, "the dialogs' style as their template gives it");
    static constexpr size_t kTemplateBytes = 1024;

    DialogBase() = default;
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;
    virtual ~DialogBase();
    // Shows the dialog modally over `parent` and returns what it ended with.
    virtual INT_PTR DoModal(HWND parent);
    // The dispatch to the handlers below; what the dialog procedure returns for the message.
    virtual INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // A property-sheet page on this object's template; `sheet` receives the sheet's window.
    PROPSHEETPAGEW PageDescription(const wchar_t* title, HWND* sheet);
    // A sheet created with this callback centres itself over its parent when it is shown.
    static int CALLBACK PropertySheetCallback(HWND sheet, UINT message, LPARAM lParam);

    HWND Window() const { return window_; }
    HWND Parent() const { return parent_; }
    // The DPI of the monitor the window is on, which every size of its layout is drawn at.
    UINT Dpi() const { return dpi_; }
    void SetWindowHandleOut(HWND* out) { windowOut_ = out; }
    void SetStyle(DWORD style) { style_ = style; }

protected:
    // WM_INITDIALOG: the window creates its controls. True lets the system put the focus on
    // the first control; false when the handler put it somewhere. The base shows the window.
    virtual bool OnInit(HWND window);
    // WM_COMMAND: a menu item, an accelerator, or a control (control is its window, else null).
    virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    // WM_NOTIFY; true when the notification was answered.
    virtual bool OnNotify(const NMHDR& /*header*/) { return false; }
    virtual void OnTimer(UINT_PTR /*id*/) {}
    // WM_CLOSE; the base ends the dialog with 0.
    virtual void OnClose(HWND window);
    // The window moved to a monitor of another DPI (Dpi() tells the new one) and is in the
    // rectangle the system suggested: its controls are to be sized and laid out anew.
    virtual void OnDpiChanged(UINT /*oldDpi*/) {}
    // Any other message; true with *result when the window answered it.
    virtual bool OnOtherMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, INT_PTR* /*result*/)
    {
        return false;
    }

    // The template in this object's buffer, zero-filled and rebuilt on every call.
    const DLGTEMPLATE* BuildTemplate();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);
    static INT_PTR Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool isPage);
    void Bind(HWND window, HWND handleForOut);
    // WM_DPICHANGED of a window, WM_DPICHANGED_AFTERPARENT of a page: `suggested` is null.
    void ChangeDpi(UINT dpi, const RECT* suggested);

    HWND window_ = nullptr;
    HWND parent_ = nullptr;
    std::unique_ptr<std::uint8_t[]> template_;
    HFONT font_ = nullptr;  // the GUI font of the window's DPI: the fonts' cache owns it
    UINT dpi_ = 96;
    HWND* windowOut_ = nullptr;
    DWORD style_ = kDialogStyle;
};

// Moves `window` so that its client area is centred on `reference` (on the full screen when
// `reference` is minimized), without resizing it, and kept whole within the work area of the
// monitor it is on (KeptWithinWorkArea).
void CenterOverParent(HWND reference, HWND window);
// The top-left corner nearest (x, y) at which a window of that size lies whole within the work
// area of the monitor nearest `area` (from its top left when it is larger than the work area).
// A window centred over a small owner near the screen's edge would hang past it: at 200 % a
// 640-pixel owner at the left edge puts the progress dialog 60 pixels off the screen.
POINT KeptWithinWorkArea(const RECT& area, int x, int y, int width, int height);

// The usable area of a dialog or page, and the size of a wide "Ｗ" in the system font, at the
// window's DPI.
struct ClientMetrics {
    RECT area;
    int width;
    int height;
    int charWidth;
    int charHeight;
};
ClientMetrics GetDialogMetrics(HWND dialog, UINT dpi);
ClientMetrics GetPageMetrics(HWND page, UINT dpi);
