#include "ui/popup_menu.h"

#include <algorithm>

#include "base/handles.h"
#include "ui/dpi_scaling.h"
#include "ui/gui_font.h"

PopupMenu::~PopupMenu() = default;

bool PopupMenu::CreatePopup()
{
    if (!menu_)
        menu_.reset(CreatePopupMenu());
    return static_cast<bool>(menu_);
}

bool PopupMenu::CreateBar()
{
    if (!menu_)
        menu_.reset(CreateMenu());
    return static_cast<bool>(menu_);
}

PopupMenu::ItemRecord& PopupMenu::RecordAt(size_t index)
{
    if (index == records_.size()) {
        ItemRecord record{};
        record.info.cbSize = sizeof record.info;
        record.info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING | MIIM_FTYPE;
        record.info.fType = MFT_OWNERDRAW;
        record.info.hbmpItem = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(-1));
        records_.push_back(std::move(record));
    }
    return records_.at(index);
}

void PopupMenu::AddItem(int id, const std::wstring& text, int imageIndex, bool enabled)
{
    const size_t index = records_.size();
    ItemRecord& record = RecordAt(index);
    record.text = text;
    record.info.wID = static_cast<UINT>(id);
    record.info.fState = enabled ? MFS_ENABLED : MFS_GRAYED;
    record.info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    record.info.dwTypeData = record.text.data();
    record.info.cch = static_cast<UINT>(record.text.size());
    // The image index rides in the bitmap field, as the drawing reads it back.
    record.info.hbmpItem = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(imageIndex));
    MENUITEMINFOW insert = record.info;
    insert.fMask &= ~static_cast<UINT>(MIIM_BITMAP);
    InsertMenuItemW(menu_.get(), static_cast<UINT>(index), TRUE, &insert);
}

int PopupMenu::Track(HWND owner, POINT screen)
{
    // The items measure and draw themselves at the DPI of the window they open over.
    dpi_ = WindowDpi(owner);
    return static_cast<int>(TrackPopupMenu(menu_.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x,
                                           screen.y, 0, owner, nullptr));
}

const PopupMenu::ItemRecord* PopupMenu::FindRecord(UINT id) const
{
    for (const ItemRecord& record : records_) {
        if (record.info.wID == id)
            return &record;
    }
    return nullptr;
}

void PopupMenu::SplitText(const std::wstring& text, std::wstring* left, std::wstring* right)
{
    const size_t separator = text.find_first_of(L"|\t");
    *left = text.substr(0, separator);
    *right = separator == std::wstring::npos ? std::wstring() : text.substr(separator + 1);
}

bool PopupMenu::OnMeasureItem(MEASUREITEMSTRUCT* measure) const
{
    if (measure->CtlType != ODT_MENU)
        return false;
    const ItemRecord* record = FindRecord(measure->itemID);
    if (!record)
        return false;
    std::wstring left, right;
    SplitText(record->text, &left, &right);
    SIZE extent{};
    {
        WindowDc screen;
        SelectedObject font(screen.get(), GuiFont(dpi_));
        GetTextExtentPoint32W(screen.get(), left.c_str(), static_cast<int>(left.size()), &extent);
    }
    int iconWidth = 0, iconHeight = 0;
    const bool icons = images_ && ImageList_GetIconSize(images_, &iconWidth, &iconHeight);
    const DpiScaling scaling(dpi_);
    measure->itemWidth = static_cast<UINT>(extent.cx + scaling.Scale(48) + (icons ? iconWidth + scaling.Scale(4) : 0));
    measure->itemHeight = static_cast<UINT>(std::max<LONG>(extent.cy + 1, icons ? iconHeight + 1 : 0));
    return true;
}

bool PopupMenu::OnDrawItem(const DRAWITEMSTRUCT* draw) const
{
    if (draw->CtlType != ODT_MENU)
        return false;
    const ItemRecord* record = FindRecord(draw->itemID);
    if (!record)
        return false;
    const bool selected = draw->itemState & ODS_SELECTED;
    const bool greyed = draw->itemState & (ODS_GRAYED | ODS_DISABLED);
    HDC dc = draw->hDC;
    RECT rect = draw->rcItem;
    FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));

    const int savedMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF savedText = SetTextColor(
        dc, GetSysColor(greyed ? (selected ? COLOR_GRAYTEXT : COLOR_BTNSHADOW)
                               : (selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT)));
    const COLORREF savedBack = SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    SelectedObject font(dc, GuiFont(dpi_));
    const DpiScaling scaling(dpi_);

    int iconWidth = 0, iconHeight = 0;
    const bool icons = images_ && ImageList_GetIconSize(images_, &iconWidth, &iconHeight);
    const auto imageIndex = static_cast<int>(reinterpret_cast<INT_PTR>(record->info.hbmpItem));
    if (icons && imageIndex != -1)
        ImageList_Draw(images_, imageIndex, dc, rect.left, rect.top, ILD_TRANSPARENT);

    std::wstring left, right;
    SplitText(record->text, &left, &right);
    RECT textRect = rect;
    if (icons)
        textRect.left += iconWidth + scaling.Scale(4);
    DrawTextW(dc, left.c_str(), static_cast<int>(left.size()), &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    RECT rightRect = rect;
    rightRect.right -= scaling.Scale(24);
    DrawTextW(dc, right.c_str(), static_cast<int>(right.size()), &rightRect,
              DT_SINGLELINE | DT_VCENTER | DT_RIGHT);

    SetBkColor(dc, savedBack);
    SetTextColor(dc, savedText);
    SetBkMode(dc, savedMode);
    return true;
}
