#pragma once
// The base of every window of ours (despite its name it subclasses nothing): a modal dialog
// or a property-sheet page from a dialog template written into memory, with no controls in it
// (each window creates its own), and one message handler per window.

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
    virtual INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // A property-sheet page on this object's template; `sheet` receives the sheet's window.
    PROPSHEETPAGEW PageDescription(const wchar_t* title, HWND* sheet);
    // A sheet created with this callback centres itself over its parent when it is shown.
    static int CALLBACK PropertySheetCallback(HWND sheet, UINT message, LPARAM lParam);

    HWND Window() const { return window_; }
    HWND Parent() const { return parent_; }
    void SetWindowHandleOut(HWND* out) { windowOut_ = out; }
    void SetStyle(DWORD style) { style_ = style; }

protected:
    // The template in this object's buffer, zero-filled and rebuilt on every call.
    const DLGTEMPLATE* BuildTemplate();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);
    static INT_PTR Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool isPage);
    void Bind(HWND window, HWND handleForOut);

    HWND window_ = nullptr;
    HWND parent_ = nullptr;
    std::unique_ptr<std::uint8_t[]> template_;
    HFONT font_ = nullptr;  // the stock GUI font: never deleted
    HWND* windowOut_ = nullptr;
    DWORD style_ = kDialogStyle;
};

// Moves `window` so that its client area is centred on `reference` (on the full screen when
// `reference` is minimized), without resizing it.
void CenterOverParent(HWND reference, HWND window);

// The usable area of a dialog or page, and the size of a wide "Ｗ" in the window's font.
struct ClientMetrics {
    RECT area;
    int width;
    int height;
    int charWidth;
    int charHeight;
};
ClientMetrics GetDialogMetrics(HWND dialog);
ClientMetrics GetPageMetrics(HWND page);
