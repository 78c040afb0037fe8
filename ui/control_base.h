#pragma once
// Thin wrappers over the common controls: one object per control window, owned by the
// window's ControlFactory_CL. Every operation is a message or two to the control.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "base/handles.h"
#include "ui/sub_class.h"

class ControlBase_CL {
public:
    enum Kind : std::int32_t {
        kStatic = 1,
        kButton = 2,
        kCheckBox = 3,
        kEdit = 4,
        kComboBox = 5,
        kListView = 10,
        kGroupBox = 18,
        kProgressBar = 19,
        kTreeView = 20,
    };

    explicit ControlBase_CL(std::int32_t kind) : kind_(kind) {}
    ControlBase_CL(const ControlBase_CL&) = delete;
    ControlBase_CL& operator=(const ControlBase_CL&) = delete;

    virtual ~ControlBase_CL() = default;
    virtual void Resize(int width, int height, bool repaint);
    virtual void Invalidate(bool erase);

    // Creates the control window; the factory calls this.
    bool CreateWindowOf(DWORD exStyle, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                        int x, int y, int width, int height, HWND parent, int id, LPVOID param);

    // Hooks the control's messages: the callback hears each first (see SubClass_CL).
    bool Subclass(ControlCallback_CL callback, void* owner) { return hook_.Install(window_, callback, owner); }
    SubClass_CL& Hook() { return hook_; }

    void MoveToX(int x);
    void MoveTo(int x, int y);
    std::wstring GetText() const;
    void SetText(const std::wstring& text);
    void SetScaledFont(double factor, int weight);
    void SetFont(HFONT font);

    // Position in the parent's client area, and size.
    RECT ClientRectInParent() const;
    int Width() const;
    int Height() const;

    HWND Window() const { return window_; }
    std::int32_t Kind() const { return kind_; }
    std::int32_t Id() const { return id_; }
    HFONT Font() const { return font_; }

private:
    std::int32_t kind_;
    std::int32_t id_ = 0;
    SubClass_CL hook_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;      // the font the control shows
    UniqueHFont_CL ownedFont_;  // a scaled font of our own, when there is one
};

class StaticText_CL : public ControlBase_CL {
public:
    StaticText_CL() : ControlBase_CL(kStatic) {}
};

class Button_CL : public ControlBase_CL {
public:
    Button_CL() : ControlBase_CL(kButton) {}
};

class CheckBox_CL : public ControlBase_CL {
public:
    CheckBox_CL() : ControlBase_CL(kCheckBox) {}
    bool IsChecked() const;
    void SetChecked(bool checked);
};

class Edit_CL : public ControlBase_CL {
public:
    Edit_CL() : ControlBase_CL(kEdit) {}
    void SetLimit(int characters);
};

class GroupBox_CL : public ControlBase_CL {
public:
    GroupBox_CL() : ControlBase_CL(kGroupBox) {}
};

class ProgressBar_CL : public ControlBase_CL {
public:
    ProgressBar_CL() : ControlBase_CL(kProgressBar) {}
    void SetRange(int low, int high);
    void SetPosition(int position);
    int Position() const;
};

class ListView_CL : public ControlBase_CL {
public:
    ListView_CL() : ControlBase_CL(kListView) {}
    void AddColumn(const std::wstring& caption, int format, int width);
    int InsertRow(int index, const std::wstring& text);
    std::wstring RowText(int index) const;
    int RowCount() const;
    void SetRowText(int index, const std::wstring& text);
    void DeleteRow(int index);
    // -1 when no row is selected.
    int FirstSelected() const;
    int SelectedCount() const;
    void SelectRow(int index, bool selected);
    void SetExtendedStyle(DWORD style);
    // A column other than the first of a row.
    void SetCellText(int index, int column, const std::wstring& text);
    // The row's check box, with the extended style LVS_EX_CHECKBOXES.
    void SetRowChecked(int index, bool checked);
    bool IsRowChecked(int index) const;
    void DeleteAllRows();

private:
    std::int32_t columns_ = 0;
};

class ComboBox_CL : public ControlBase_CL {
public:
    ComboBox_CL() : ControlBase_CL(kComboBox) {}
    // An extended combo box ("ComboBoxEx32") with the given ID, sized in characters and lines.
    virtual bool Create(HWND parent, int id, int characters, int lines, DWORD style, int x, int y);
    int AddItem(const std::wstring& text, int image);
    int Selection() const;
    void Select(int index);
    int Count() const;
};

class TreeView_CL : public ControlBase_CL {
public:
    TreeView_CL() : ControlBase_CL(kTreeView) {}
    HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM after, const std::wstring& text, int image,
                         int selectedImage, LPARAM param);
    void DeleteAll();
    void Expand(HTREEITEM item);
};

// The size of a text drawn in a font, measured on the screen.
SIZE MeasureText(HFONT font, const std::wstring& text);
