#pragma once
// Thin wrappers over the common controls: one object per control window, owned by the
// window's ControlFactory. Every operation is a message or two to the control.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "base/handles.h"
#include "ui/window_subclass.h"

// How a control's size follows from its text and its DPI, so that it can be sized anew on a
// monitor of another DPI. Paddings are in pixels at 96 DPI.
struct ControlSizing {
    enum Rule : std::int8_t {
        kScaled,        // a size of its own, scaled with the DPI
        kText,          // its text, padded
        kTextWithAir,   // its text with half a line of air on each side
        kWrappedText,   // its width scaled, as high as its text takes at that width
        kCharacters,    // `characters` wide "W"s and `lines` high "M"s, padded
    };
    Rule rule = kScaled;
    int padWidth = 0;
    int padHeight = 0;
    int characters = 0;
    int lines = 0;
};

// The size a rule gives a control of `text` in `font` at `dpi`; `scaled` is the size of the
// rules that do not measure (for kWrappedText, its width).
SIZE SizeByRule(const ControlSizing& sizing, HFONT font, const std::wstring& text, UINT dpi, SIZE scaled);

class Control {
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

    explicit Control(std::int32_t kind) : kind_(kind) {}
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    virtual ~Control() = default;
    virtual void Resize(int width, int height, bool repaint);
    virtual void Invalidate(bool erase);

    // Creates the control window in the control font of `dpi`; the factory calls this.
    bool CreateWindowOf(DWORD exStyle, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                        int x, int y, int width, int height, HWND parent, int id, LPVOID param, UINT dpi);
    void SetSizing(const ControlSizing& sizing) { sizing_ = sizing; }
    // Takes the rule and the size it gives now.
    void SizeBy(const ControlSizing& sizing);
    const ControlSizing& Sizing() const { return sizing_; }
    // Font, size and place at another DPI: the size by the control's rule, the place scaled.
    virtual void ApplyDpi(UINT dpi);
    UINT Dpi() const { return dpi_; }

    // Hooks the control's messages: the callback hears each first (see WindowSubclass).
    bool Subclass(ControlCallback callback, void* owner) { return hook_.Install(window_, callback, owner); }
    WindowSubclass& Hook() { return hook_; }

    void MoveToX(int x);
    void MoveTo(int x, int y);
    std::wstring GetText() const;
    void SetText(const std::wstring& text);
    // The control font `factor` times as large, of `weight`, at whatever DPI the control is.
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
    WindowSubclass hook_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;  // the font the control shows; the fonts' cache owns it
    UINT dpi_ = 96;
    ControlSizing sizing_;
    double fontFactor_ = 1.0;  // with fontWeight_, a font other than the plain one
    int fontWeight_ = 0;
};

class StaticText : public Control {
public:
    StaticText() : Control(kStatic) {}
};

class Button : public Control {
public:
    Button() : Control(kButton) {}
};

class CheckBox : public Control {
public:
    CheckBox() : Control(kCheckBox) {}
    bool IsChecked() const;
    void SetChecked(bool checked);
};

class EditBox : public Control {
public:
    EditBox() : Control(kEdit) {}
    void SetLimit(int characters);
};

class GroupBox : public Control {
public:
    GroupBox() : Control(kGroupBox) {}
};

class ProgressBar : public Control {
public:
    ProgressBar() : Control(kProgressBar) {}
    void SetRange(int low, int high);
    void SetPosition(int position);
    int Position() const;
};

// The text of a list view's cell.
std::wstring ListCellText(HWND list, int row, int column);

class ListView : public Control {
public:
    ListView() : Control(kListView) {}
    void AddColumn(const std::wstring& caption, int format, int width);
    // Widens the column as far as its caption and widest cell need (the last column: to the
    // list's right edge); it never narrows it.
    void WidenColumnToFit(int column);
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
    // A list made with LVS_OWNERDATA: how many rows it shows, each asked of its window.
    void SetVirtualRowCount(int count);
    // The header's arrow on `column`: up for ascending, down for descending; none elsewhere.
    void ShowSortArrow(int column, bool ascending);
    // The columns keep their widths to scale.
    void ApplyDpi(UINT dpi) override;

private:
    std::int32_t columns_ = 0;
};

class ComboBox : public Control {
public:
    ComboBox() : Control(kComboBox) {}
    int AddItem(const std::wstring& text, int image);
    int Selection() const;
    void Select(int index);
    int Count() const;
};

class TreeView : public Control {
public:
    TreeView() : Control(kTreeView) {}
    HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM after, const std::wstring& text, int image,
                         int selectedImage, LPARAM param);
    void DeleteAll();
    void Expand(HTREEITEM item);
};

// The size of a text drawn in a font, measured on the screen.
SIZE MeasureText(HFONT font, const std::wstring& text);
// The same for text broken into lines no wider than `width`.
SIZE MeasureWrappedText(HFONT font, const std::wstring& text, int width);
