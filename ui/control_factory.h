#pragma once
// Creates a window's controls in code, sized from the text they carry at the window's DPI,
// and owns them: they go with the window's object.

#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls.h"

class ControlFactory {
public:
    explicit ControlFactory(int firstId) : nextId_(firstId) {}

    // Each returns the new control's index in the factory.
    int CreateStatic(HWND parent, int x, int y, const std::wstring& text);
    // A label of that width, as many lines high as its text takes.
    int CreateWrappedStatic(HWND parent, int x, int y, int width, const std::wstring& text);
    // A label only a screen reader reads, for the field made next: it names a field whose
    // label the window shows otherwise (as a group's caption) or not at all.
    int CreateHiddenLabel(HWND parent, const std::wstring& text);
    int CreateButton(HWND parent, int x, int y, const std::wstring& text);
    int CreateCheckBox(HWND parent, int x, int y, const std::wstring& text);
    // style -1: the default multi-line edit.
    int CreateEdit(HWND parent, int x, int y, int characters, DWORD style);
    // `extraStyle`: LVS_OWNERDATA for a list that asks its window for each row's text.
    int CreateListView(HWND parent, int x, int width, int height, DWORD extraStyle = 0);
    int CreateGroupBox(HWND parent, const std::wstring& text, int y, int width, int height);
    int CreateComboBox(HWND parent, int id, int characters, int lines, DWORD style, int x, int y);
    // With the factory's next ID.
    int CreateComboBox(HWND parent, int characters, int lines, DWORD style, int x, int y);
    int CreateProgressBar(HWND parent, int x, int y, int width, int height);
    int CreateTreeView(HWND parent, int x, int y, int width, int height, DWORD style);

    // Every control in the font of `dpi`, sized by its rule and placed to scale; the controls
    // made from here on are made at `dpi` too. The window then lays out what it lays out.
    void ApplyDpi(UINT dpi);

    // Moves the controls one below the other from startY, 4 pixels apart, keeping their x.
    void StackVertically(std::initializer_list<int> indices, int startY);
    // Control index + 1 into the parent's bottom-right corner, control index to its left.
    void PlaceButtonPair(int index);

    Control* At(int index) const { return controls_.at(static_cast<size_t>(index)).get(); }
    template <typename T>
    T* Get(int index) const
    {
        return static_cast<T*>(At(index));
    }
    int Count() const { return static_cast<int>(controls_.size()); }
    int NextId() const { return nextId_; }
    // The next control created gets this ID instead of the counter's (fixed command IDs).
    void UseIdForNext(int id) { fixedId_ = id; }

private:
    template <typename T>
    int Add(std::unique_ptr<T> control)
    {
        controls_.push_back(std::move(control));
        return static_cast<int>(controls_.size()) - 1;
    }
    // `size` is what the rule sizes from (see SizeByRule).
    int CreateSized(std::unique_ptr<Control> control, const ControlSizing& sizing, DWORD exStyle,
                    const wchar_t* windowClass, const std::wstring& text, DWORD style, int x, int y, SIZE size,
                    HWND parent, LPVOID param, int id);
    int CreateSized(std::unique_ptr<Control> control, const ControlSizing& sizing, DWORD exStyle,
                    const wchar_t* windowClass, const std::wstring& text, DWORD style, int x, int y, SIZE size,
                    HWND parent, LPVOID param);

    int TakeId();
    // The DPI controls are made at: the one applied last, else the parent's.
    UINT DpiFor(HWND parent) const;

    std::vector<std::unique_ptr<Control>> controls_;
    int nextId_;
    int fixedId_ = 0;
    UINT dpi_ = 0;
};
