#include "ui/controls.h"

#include <commctrl.h>

#include <vector>

#include "ui/control_styles.h"
#include "ui/dpi_scaling.h"
#include "ui/gui_font.h"

namespace {

SIZE MeasureIn(HFONT font, const std::wstring& text, int width, UINT format)
{
    WindowDc screen;
    SelectedObject selected(screen.get(), font);
    RECT rect{0, 0, width, 0x8000};
    DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX | format);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

SIZE MeasureText(HFONT font, const std::wstring& text)
{
    return MeasureIn(font, text, 0x8000, 0);
}

SIZE MeasureWrappedText(HFONT font, const std::wstring& text, int width)
{
    return MeasureIn(font, text, width, DT_WORDBREAK);
}

SIZE SizeByRule(const ControlSizing& sizing, HFONT font, const std::wstring& text, UINT dpi, SIZE scaled)
{
    const int padWidth = ScaleToDpi(sizing.padWidth, dpi);
    const int padHeight = ScaleToDpi(sizing.padHeight, dpi);
    switch (sizing.rule) {
    case ControlSizing::kText: {
        const SIZE size = MeasureText(font, text);
        return SIZE{size.cx + padWidth, size.cy + padHeight};
    }
    case ControlSizing::kTextWithAir: {
        const SIZE size = MeasureText(font, text);
        return SIZE{size.cx + size.cy, size.cy + size.cy / 2};
    }
    case ControlSizing::kWrappedText:
        return SIZE{scaled.cx, MeasureWrappedText(font, text, scaled.cx).cy};
    case ControlSizing::kCharacters: {
        const SIZE w = MeasureText(font, L"W");
        const SIZE m = MeasureText(font, L"M");
        return SIZE{sizing.characters * w.cx + padWidth, sizing.lines * m.cy + padHeight};
    }
    case ControlSizing::kScaled:
        break;
    }
    return scaled;
}

// --- the base ---------------------------------------------------------------------------

bool Control::CreateWindowOf(DWORD exStyle, const wchar_t* windowClass, const wchar_t* text,
                             DWORD style, int x, int y, int width, int height, HWND parent,
                             int id, LPVOID param, UINT dpi)
{
    id_ = id;
    dpi_ = dpi;
    window_ = CreateWindowExW(exStyle, windowClass, text, style, x, y, width, height, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                              param);
    SetFont(GuiFont(dpi));
    return window_ != nullptr;
}

void Control::SizeBy(const ControlSizing& sizing)
{
    sizing_ = sizing;
    const SIZE size = SizeByRule(sizing, font_, GetText(), dpi_, SIZE{Width(), Height()});
    Resize(size.cx, size.cy, true);
}

void Control::ApplyDpi(UINT dpi)
{
    const UINT old = dpi_;
    dpi_ = dpi;
    SetFont(fontWeight_ ? ScaledGuiFont(dpi, fontFactor_, fontWeight_) : GuiFont(dpi));
    const RECT at = ClientRectInParent();
    const auto rescale = [&](LONG size) { return MulDiv(size, static_cast<int>(dpi), static_cast<int>(old)); };
    const SIZE scaled{rescale(at.right - at.left), rescale(at.bottom - at.top)};
    const SIZE size = SizeByRule(sizing_, font_, GetText(), dpi, scaled);
    MoveWindow(window_, rescale(at.left), rescale(at.top), size.cx, size.cy, TRUE);
}

RECT Control::ClientRectInParent() const
{
    RECT rect{};
    GetWindowRect(window_, &rect);
    MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int Control::Width() const
{
    RECT rect{};
    GetWindowRect(window_, &rect);
    return rect.right - rect.left;
}

int Control::Height() const
{
    RECT rect{};
    GetWindowRect(window_, &rect);
    return rect.bottom - rect.top;
}

void Control::Resize(int width, int height, bool repaint)
{
    const RECT at = ClientRectInParent();
    MoveWindow(window_, at.left, at.top, width, height, repaint);
}

void Control::Invalidate(bool erase)
{
    InvalidateRect(window_, nullptr, erase);
}

void Control::MoveToX(int x)
{
    const RECT at = ClientRectInParent();
    MoveWindow(window_, x, at.top, at.right - at.left, at.bottom - at.top, TRUE);
}

void Control::MoveTo(int x, int y)
{
    const RECT at = ClientRectInParent();
    MoveWindow(window_, x, y, at.right - at.left, at.bottom - at.top, TRUE);
}

std::wstring Control::GetText() const
{
    const int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window_, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void Control::SetText(const std::wstring& text)
{
    SetWindowTextW(window_, text.c_str());
}

void Control::SetFont(HFONT font)
{
    font_ = font;
    if (window_)
        SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Control::SetScaledFont(double factor, int weight)
{
    fontFactor_ = factor;
    fontWeight_ = weight;
    SetFont(ScaledGuiFont(dpi_, factor, weight));
}

// --- the controls -----------------------------------------------------------------------------

bool CheckBox::IsChecked() const
{
    return SendMessageW(Window(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked)
{
    SendMessageW(Window(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void EditBox::SetLimit(int characters)
{
    SendMessageW(Window(), EM_SETLIMITTEXT, static_cast<WPARAM>(characters), 0);
}

void ProgressBar::SetRange(int low, int high)
{
    SendMessageW(Window(), PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
}

void ProgressBar::SetPosition(int position)
{
    SendMessageW(Window(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int ProgressBar::Position() const
{
    return static_cast<int>(SendMessageW(Window(), PBM_GETPOS, 0, 0));
}

void ListView::AddColumn(const std::wstring& caption, int format, int width)
{
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(caption.c_str());
    column.iSubItem = columns_;
    SendMessageW(Window(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(columns_), reinterpret_cast<LPARAM>(&column));
    ++columns_;
}

void ListView::WidenColumnToFit(int column)
{
    const auto widthOf = [&] {
        return static_cast<int>(SendMessageW(Window(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    };
    const int width = widthOf();
    SendMessageW(Window(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), LVSCW_AUTOSIZE_USEHEADER);
    if (widthOf() < width)
        SendMessageW(Window(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), width);
}

int ListView::InsertRow(int index, const std::wstring& text)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return static_cast<int>(SendMessageW(Window(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

std::wstring ListCellText(HWND list, int row, int column)
{
    std::vector<wchar_t> buffer(32768, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return std::wstring(buffer.data(), static_cast<size_t>(length));
}

std::wstring ListView::RowText(int index) const
{
    return ListCellText(Window(), index, 0);
}

int ListView::RowCount() const
{
    return static_cast<int>(SendMessageW(Window(), LVM_GETITEMCOUNT, 0, 0));
}

void ListView::SetRowText(int index, const std::wstring& text)
{
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(Window(), LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void ListView::DeleteRow(int index)
{
    SendMessageW(Window(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
}

int ListView::FirstSelected() const
{
    return static_cast<int>(SendMessageW(Window(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int ListView::SelectedCount() const
{
    return static_cast<int>(SendMessageW(Window(), LVM_GETSELECTEDCOUNT, 0, 0));
}

void ListView::SelectRow(int index, bool selected)
{
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageW(Window(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void ListView::SetCellText(int index, int column, const std::wstring& text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(Window(), LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void ListView::SetRowChecked(int index, bool checked)
{
    // State image 2 is the ticked box, 1 the empty one.
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageW(Window(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

bool ListView::IsRowChecked(int index) const
{
    const auto state = static_cast<UINT>(
        SendMessageW(Window(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

void ListView::ApplyDpi(UINT dpi)
{
    const UINT old = Dpi();
    Control::ApplyDpi(dpi);
    for (int column = 0; column < columns_; ++column) {
        const int width = static_cast<int>(SendMessageW(Window(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
        SendMessageW(Window(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                     MulDiv(width, static_cast<int>(dpi), static_cast<int>(old)));
    }
}

void ListView::DeleteAllRows()
{
    SendMessageW(Window(), LVM_DELETEALLITEMS, 0, 0);
}

void ListView::SetVirtualRowCount(int count)
{
    SendMessageW(Window(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
}

void ListView::ShowSortArrow(int column, bool ascending)
{
    const HWND header = ListView_GetHeader(Window());
    for (int at = 0; at < columns_; ++at) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, at, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (at == column)
            item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        Header_SetItem(header, at, &item);
    }
}

void ListView::SetExtendedStyle(DWORD style)
{
    SendMessageW(Window(), LVM_SETEXTENDEDLISTVIEWSTYLE, style, style);
}

int ComboBox::AddItem(const std::wstring& text, int image)
{
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
    item.iItem = Count();
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = image;
    item.iSelectedImage = image;
    return static_cast<int>(SendMessageW(Window(), CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

int ComboBox::Selection() const
{
    return static_cast<int>(SendMessageW(Window(), CB_GETCURSEL, 0, 0));
}

void ComboBox::Select(int index)
{
    SendMessageW(Window(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ComboBox::Count() const
{
    return static_cast<int>(SendMessageW(Window(), CB_GETCOUNT, 0, 0));
}

HTREEITEM TreeView::InsertItem(HTREEITEM parent, HTREEITEM after, const std::wstring& text, int image,
                               int selectedImage, LPARAM param)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.lParam = param;
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(Window(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TreeView::Expand(HTREEITEM item)
{
    SendMessageW(Window(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

void TreeView::DeleteAll()
{
    SendMessageW(Window(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}
