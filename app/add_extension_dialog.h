#pragma once
// The small dialog that asks for an extension to add to a kind's list. Only what can be a
// file's extension is taken: the set button stays disabled for anything else, and a hint
// under the field says why.

#include <windows.h>

#include <string>

#include "ui/control_factory.h"
#include "ui/dialog_base.h"

class AddExtensionDialog : public DialogBase {
public:
    enum Command { kSet = 4096, kCancel = 4098 };
    enum ControlId { kField = 4100, kHint = 4101 };
    static constexpr int kFieldChars = 32;

    AddExtensionDialog();

    // The extension chosen, with its leading "."; valid once DoModal has ended with 1.
    const std::wstring& Extension() const { return extension_; }

    // What the field's text becomes: a "." in front unless it has one.
    static std::wstring WithDot(const std::wstring& text);

    // The controls, for whoever drives the dialog (its tests).
    EditBox* Field() const { return field_; }
    Button* SetButton() const { return set_; }
    StaticText* Hint() const { return hint_; }

private:
    bool OnInit(HWND window) override;
    void OnDpiChanged(UINT oldDpi) override;
    // Everything where it goes at the dialog's DPI, and the dialog sized to hold it.
    void PlaceControls();
    void OnCommand(int id, int code, HWND control) override;
    void OnTextChanged();
    void OnSet();
    static LRESULT FieldCallback(WindowSubclass& hook, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    ControlFactory controls_{0x1100};
    Control* prompt_ = nullptr;
    EditBox* field_ = nullptr;
    Button* set_ = nullptr;
    int setIndex_ = 0;
    StaticText* hint_ = nullptr;
    std::wstring extension_;
};
