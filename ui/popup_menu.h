#pragma once
// A menu whose items draw themselves, with an icon from an image list beside each text.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/handles.h"

class PopupMenu {
public:
    PopupMenu() = default;
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    virtual ~PopupMenu();
    virtual bool CreatePopup();
    virtual bool CreateBar();

    // An owner-drawn item; "left|right" or "left\tright" draws a right-aligned second part.
    // imageIndex -1: no icon.
    void AddItem(int id, const std::wstring& text, int imageIndex, bool enabled);
    // The list is the caller's and must outlive the menu.
    void SetImageList(HIMAGELIST images) { images_ = images; }
    // Shows the menu at a screen point; the chosen command, or 0.
    int Track(HWND owner, POINT screen);

    // For the owner's WM_MEASUREITEM and WM_DRAWITEM; false for anything but this menu's items.
    bool OnMeasureItem(MEASUREITEMSTRUCT* measure) const;
    bool OnDrawItem(const DRAWITEMSTRUCT* draw) const;

    HMENU Handle() const { return menu_.get(); }

private:
    struct ItemRecord {
        MENUITEMINFOW info;
        std::int32_t extra;
        std::wstring text;
    };
    ItemRecord& RecordAt(size_t index);
    const ItemRecord* FindRecord(UINT id) const;
    static void SplitText(const std::wstring& text, std::wstring* left, std::wstring* right);

    UniqueMenu menu_;
    std::vector<ItemRecord> records_;
    HIMAGELIST images_ = nullptr;
    UINT dpi_ = 96;  // of the window the menu last opened over
};
