#include "app/extensions_page.h"

#include "app/add_extension_dialog.h"
#include "app/registry_file_type.h"
#include "base/paths.h"
#include "ui/image_list.h"

namespace {

// The menu's image strip: 24-pixel images, magenta transparent.
constexpr int kMenuImageWidth = 24;
constexpr COLORREF kMenuTransparent = RGB(255, 0, 255);
constexpr int kAddImage = 5;
constexpr int kDeleteImage = 1;
constexpr DWORD kListStyles = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP;
constexpr wchar_t kUserAddedLabel[] = L"★ユーザー追加拡張子";

}  // namespace

ExtensionsPage::ExtensionsPage(ExtensionList* list, std::wstring label)
    : bound_(list), working_(*list), label_(std::move(label))
{
}

void ExtensionsPage::BuildControls(HWND window)
{
    working_ = *bound_;
    const ClientMetrics m = GetPageMetrics(window, Dpi());
    auto& f = controls_;
    const int label = f.CreateStatic(window, m.charWidth / 2, m.charHeight / 2, label_);
    const int top = f.At(label)->ClientRectInParent().bottom + m.charHeight / 2;
    list_ = f.Get<ListView>(f.CreateListView(window, m.charWidth / 2, m.width - m.charWidth,
                                             m.height - top - m.charHeight / 2));
    list_->MoveTo(m.charWidth / 2, top);
    list_->SetExtendedStyle(kListStyles);
    list_->AddColumn(L"拡張子", LVCFMT_LEFT, 7 * m.charWidth);
    list_->AddColumn(L"Content Type", LVCFMT_LEFT, 20 * m.charWidth);
    Fill();
}

void ExtensionsPage::Fill()
{
    // Rows made and ticked here are no change of the user's.
    filling_ = true;
    list_->DeleteAllRows();
    const auto& entries = working_.Entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const int row = list_->InsertRow(static_cast<int>(i), entries[i].extension);
        // What the system says of a built-in extension's files; the user's own are marked.
        list_->SetCellText(row, 1, entries[i].builtIn ? RegisteredContentType(entries[i].extension)
                                                      : std::wstring(kUserAddedLabel));
        list_->SetRowChecked(row, entries[i].enabled == 1);
    }
    // The cells the columns start at hold most texts; a longer one, or a larger font, widens them.
    list_->WidenColumnToFit(0);
    list_->WidenColumnToFit(1);
    filling_ = false;
}

void ExtensionsPage::OnRowChanged(const NMLISTVIEW* change)
{
    if (filling_ || !(change->uChanged & LVIF_STATE) || !(change->uNewState & LVIS_STATEIMAGEMASK))
        return;
    auto& entries = working_.Entries();
    if (change->iItem < 0 || static_cast<size_t>(change->iItem) >= entries.size())
        return;
    const std::int32_t enabled = ((change->uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2 ? 1 : 0;
    if (entries[static_cast<size_t>(change->iItem)].enabled != enabled) {
        entries[static_cast<size_t>(change->iItem)].enabled = enabled;
        Changed();
    }
}

void ExtensionsPage::BuildMenu(PopupMenu& menu) const
{
    menu.CreatePopup();
    const auto& entries = working_.Entries();
    // Only extensions the user added can go; the built-in ones are switched off instead.
    const int selected = list_ ? list_->FirstSelected() : -1;
    const bool deletable = selected >= 0 && static_cast<size_t>(selected) < entries.size() &&
                           entries[static_cast<size_t>(selected)].builtIn == 0;
    menu.AddItem(kAddExtension, L"拡張子を追加する", kAddImage, true);
    menu.AddItem(kDeleteExtension, L"拡張子を削除する", kDeleteImage, deletable);
}

void ExtensionsPage::ShowMenu()
{
    PopupMenu menu;
    ImageList images;
    if (images.LoadStrip(GetExeFolder() + L"\\menu_image.bmp", kMenuImageWidth, kMenuTransparent))
        menu.SetImageList(images.Handle());
    BuildMenu(menu);
    POINT cursor{};
    GetCursorPos(&cursor);
    openMenu_ = &menu;
    const int command = menu.Track(Window(), cursor);
    openMenu_ = nullptr;
    if (command)
        OnCommand(command, 0, nullptr);
}

void ExtensionsPage::AddExtension()
{
    AddExtensionDialog dialog;
    if (dialog.DoModal(Window()) != 1)
        return;
    ExtensionEntry item;
    item.enabled = 1;
    item.builtIn = 0;
    item.extension = dialog.Extension();
    // One already in the list is left as it is, without a word.
    if (!working_.AddItem(std::move(item), true))
        return;
    Fill();
    Changed();
}

void ExtensionsPage::DeleteExtension()
{
    // The row selected when the menu came up: the menu is modal, so it still is.
    const int selected = list_->FirstSelected();
    const auto& entries = working_.Entries();
    if (selected < 0 || static_cast<size_t>(selected) >= entries.size() ||
        entries[static_cast<size_t>(selected)].builtIn != 0)
        return;
    working_.RemoveAt(static_cast<size_t>(selected));
    list_->DeleteRow(selected);
    Changed();
}

void ExtensionsPage::OnCommand(int id, int, HWND)
{
    if (id == kAddExtension)
        AddExtension();
    else if (id == kDeleteExtension)
        DeleteExtension();
}

bool ExtensionsPage::OnPageNotify(const NMHDR& header)
{
    if (!list_ || header.hwndFrom != list_->Window())
        return false;
    if (header.code == LVN_ITEMCHANGED)
        OnRowChanged(reinterpret_cast<const NMLISTVIEW*>(&header));
    else if (header.code == NM_RCLICK)
        ShowMenu();
    return false;
}

bool ExtensionsPage::OnOtherMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR* result)
{
    // The menu's items draw themselves through their owner, this page.
    if (message == WM_MEASUREITEM && openMenu_)
        *result = openMenu_->OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    else if (message == WM_DRAWITEM && openMenu_)
        *result = openMenu_->OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    else
        return false;
    return true;
}

void ExtensionsPage::Apply()
{
    *bound_ = working_;
    bound_->Save();
}
