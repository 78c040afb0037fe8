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
    auto& f = controls_;
    prompt_ = f.At(f.CreateStatic(window, 0, 0, L"拡張子を入力してください。"));
    // One line high, with the multi-line style so that Enter reaches the field.
    f.UseIdForNext(kField);
    field_ = f.Get<EditBox>(f.CreateEdit(window, 0, 0, 24, ES_MULTILINE | ES_AUTOHSCROLL | ES_WANTRETURN));
    field_->SetLimit(kFieldChars);
    field_->Subclass(&AddExtensionDialog::FieldCallback, this);
    f.UseIdForNext(kHint);
    hint_ = f.Get<StaticText>(f.CreateWrappedStatic(window, 0, 0, 1, kHintText));
    ShowWindow(hint_->Window(), SW_HIDE);
    f.UseIdForNext(kSet);
    setIndex_ = f.CreateButton(window, 0, 0, L"　　設定　　");
    set_ = f.Get<Button>(setIndex_);
    f.UseIdForNext(kCancel);
    f.CreateButton(window, 0, 0, L"　キャンセル　");
    PlaceControls();
    EnableWindow(set_->Window(), FALSE);
    CenterOverParent(Parent(), window);
    SetFocus(field_->Window());
    return false;  // the focus is on the field
}

void AddExtensionDialog::PlaceControls()
{
    const DpiScaling dpi(Dpi());
    const int margin = dpi.Scale(8);
    RECT frame{};
    AdjustWindowRectForDpi(&frame, Window(), Dpi());
    const int designClientWidth = dpi.Scale(kDesignWidth) - (frame.right - frame.left);
    const int designClientHeight = dpi.Scale(kDesignHeight) - (frame.bottom - frame.top);

    // The hint wraps within the dialog rather than running past its edge.
    const int hintWidth = designClientWidth - 2 * margin;
    hint_->Resize(hintWidth, MeasureWrappedText(hint_->Font(), kHintText, hintWidth).cy, false);
    int y = margin;
    for (Control* row : {prompt_, static_cast<Control*>(field_), static_cast<Control*>(hint_)}) {
        row->MoveTo(margin, y);
        y += row->Height() + dpi.Scale(4);
    }
    // At least the design size, and as high as the hint in whatever font draws it.
    const RECT below = hint_->ClientRectInParent();
    RECT client{0, 0, std::max<LONG>(designClientWidth, below.right + margin),
                std::max<LONG>(designClientHeight, below.bottom + margin + set_->Height() + dpi.Scale(4))};
    AdjustWindowRectForDpi(&client, Window(), Dpi());
    SetWindowPos(Window(), nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    controls_.PlaceButtonPair(setIndex_);  // and 「キャンセル」 beside it
}

void AddExtensionDialog::OnDpiChanged(UINT)
{
    controls_.ApplyDpi(Dpi());
    PlaceControls();
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
