#include "app/add_extension_dialog.h"

#include <algorithm>

#include "organize/extension_list.h"
#include "ui/dpi_scaling.h"

namespace {

// A popup with a caption and a modal frame.
constexpr DWORD kAddStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr int kDesignWidth = 360;
constexpr int kDesignHeight = 170;
const wchar_t kHintText[] = L"= ; \\ / : * ? \" < > | 、空白、2つ目の「.」は使えません（31文字まで）。";

}  // namespace

AddExtensionDialog::AddExtensionDialog()
{
    SetStyle(kAddStyle);
}

std::wstring AddExtensionDialog::WithDot(const std::wstring& text)
{
    return !text.empty() && text[0] == L'.' ? text : L"." + text;
}

bool AddExtensionDialog::OnInit(HWND window)
{
    SetWindowTextW(window, L"拡張子の追加");
    DpiScaling dpi;
    dpi.Init();
    dpi.MoveScaled(window, 0, 0, kDesignWidth, kDesignHeight, false);

    auto& f = controls_;
    const int prompt = f.CreateStatic(window, 8, 8, L"拡張子を入力してください。");
    // One line high, with the multi-line style so that Enter reaches the field.
    f.UseIdForNext(kField);
    const int field = f.CreateEdit(window, 8, 0, 24, ES_MULTILINE | ES_AUTOHSCROLL | ES_WANTRETURN);
    field_ = f.Get<EditBox>(field);
    field_->SetLimit(kFieldChars);
    field_->Subclass(&AddExtensionDialog::FieldCallback, this);
    // The hint wraps within the dialog rather than running past its edge.
    RECT client{};
    GetClientRect(window, &client);
    f.UseIdForNext(kHint);
    const int hint = f.CreateWrappedStatic(window, 8, 0, client.right - 16, kHintText);
    hint_ = f.Get<StaticText>(hint);
    ShowWindow(hint_->Window(), SW_HIDE);
    f.StackVertically({prompt, field, hint}, 8);
    f.UseIdForNext(kSet);
    const int set = f.CreateButton(window, 0, 0, L"　　設定　　");
    f.UseIdForNext(kCancel);
    f.CreateButton(window, 0, 0, L"　キャンセル　");
    // At least the design size, and as high as the hint in whatever font draws it.
    const RECT below = hint_->ClientRectInParent();
    RECT frame{0, 0, std::max<LONG>(client.right, below.right + 8),
               std::max<LONG>(client.bottom, below.bottom + 8 + f.At(set)->Height() + 4)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
    f.PlaceButtonPair(set);
    set_ = f.Get<Button>(set);
    EnableWindow(set_->Window(), FALSE);
    CenterOverParent(Parent(), window);
    SetFocus(field_->Window());
    return false;  // the focus is on the field
}

void AddExtensionDialog::OnTextChanged()
{
    const std::wstring text = field_->GetText();
    const bool usable = ExtensionList::IsUsableExtension(WithDot(text));
    EnableWindow(set_->Window(), !text.empty() && usable);
    ShowWindow(hint_->Window(), !text.empty() && !usable ? SW_SHOW : SW_HIDE);
}

void AddExtensionDialog::OnSet()
{
    const std::wstring text = field_->GetText();
    if (text.empty() || !ExtensionList::IsUsableExtension(WithDot(text)))
        return;
    extension_ = WithDot(text);
    EndDialog(Window(), 1);
}

LRESULT AddExtensionDialog::FieldCallback(WindowSubclass& hook, HWND, UINT message, WPARAM wParam, LPARAM)
{
    // Enter sets, as the button would; the field never holds a line break.
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_RETURN) {
        hook.SetHandled(true);
        if (message == WM_KEYDOWN)
            static_cast<AddExtensionDialog*>(hook.Owner())->OnSet();
    }
    return 0;
}

void AddExtensionDialog::OnCommand(int id, int code, HWND control)
{
    if (field_ && control == field_->Window() && code == EN_CHANGE)
        OnTextChanged();
    else if (id == kSet)
        OnSet();
    else if (id == kCancel || id == IDCANCEL)
        EndDialog(Window(), 0);
}
