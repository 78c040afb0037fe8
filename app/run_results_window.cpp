#include "app/run_results_window.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "app/run_notices.h"
#include "ui/clipboard_text.h"
#include "ui/dpi_scaling.h"
#include "ui/row_layout.h"
#include "ui/ui_seams.h"

const wchar_t kRunResultsCaption[] = L"整理の結果";

namespace {

constexpr DWORD kResultsStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME;
// Sizes at 96 DPI: the window as it first opens, the room around and between its rows, how far
// the reasons stand in under their count, and the least the list may shrink to.
constexpr int kDesignWidth = 760;
constexpr int kDesignHeight = 520;
constexpr int kMargin = 8;
constexpr int kGap = 4;
constexpr int kPartIndent = 16;
constexpr int kLeastListHeight = 120;
constexpr int kLeastColumnWidth[] = {240, 200, 240};
constexpr int kMostColumnWidth = 640;
// The list's vertical scroll bar and frame beside its columns.
constexpr int kScrollBarRoom = 24;
// The columns are as wide as the widest of this many files: measuring every file of a large
// run would keep the window from opening for seconds. A longer one scrolls.
constexpr std::size_t kRowsMeasured = 2000;
static_assert(std::size(kLeastColumnWidth) == NotCopiedRows::kColumnCount);

std::wstring CountText(const std::wstring& what, int count)
{
    return what + L" = " + std::to_wstring(count);
}

int WorkAreaWidth(HWND window)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return GetSystemMetrics(SM_CXSCREEN);
    return monitor.rcWork.right - monitor.rcWork.left;
}

}  // namespace

RunResultsWindow::RunResultsWindow(const RunSummary* summary) : summary_(summary), rows_(summary)
{
    SetStyle(kResultsStyle);
}

std::vector<RunResultsWindow::CountLine> RunResultsWindow::CountLines(const RunSummary& summary)
{
    std::vector<CountLine> lines;
    lines.push_back({CountText(L"コピーしたファイルの数", summary.Copied())});
    lines.push_back({CountText(L"重複ファイルの数", summary.AlreadyThere())});
    lines.push_back({CountText(L"整理できなかったフォルダまたはファイルの数", summary.NotOrganized())});
    for (const RunSummary::ReasonCount& reason : summary.Reasons())
        lines.push_back({CountText(reason.reason, reason.count), true});
    lines.push_back({CountText(L"更新日時で整理したファイルの数", summary.DatedByLastWrite())});
    return lines;
}

void RunResultsWindow::CreateControls(HWND window)
{
    auto& f = controls_;
    for (const CountLine& line : CountLines(*summary_)) {
        countLabels_.push_back(f.At(f.CreateStatic(window, 0, 0, line.text)));
        countParts_.push_back(line.part);
    }
    // Each label comes just before its field, so that a screen reader names the field by it,
    // and its mnemonic takes the focus there.
    searchLabel_ = f.Get<StaticText>(f.CreateStatic(window, 0, 0, L"検索(&S)："));
    search_ = f.Get<EditBox>(f.CreateEdit(window, 0, 0, 24, ES_AUTOHSCROLL));
    listLabel_ = f.Get<StaticText>(f.CreateStatic(window, 0, 0, L"コピーしなかったファイル(&L)："));
    // Its rows are asked of the window as they are drawn: a large run leaves many.
    list_ = f.Get<ListView>(f.CreateListView(window, 0, 300, 200, LVS_OWNERDATA));
    list_->SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP);
    for (int column = 0; column < NotCopiedRows::kColumnCount; ++column)
        list_->AddColumn(NotCopiedRows::Caption(column), LVCFMT_LEFT, ScaleToDpi(kLeastColumnWidth[column], Dpi()));
    openFolder_ = f.Get<Button>(f.CreateButton(window, 0, 0, L"　フォルダを開く(&O)　"));
    copy_ = f.Get<Button>(f.CreateButton(window, 0, 0, L"　コピー(&C)　"));
    close_ = f.Get<Button>(f.CreateButton(window, 0, 0, L"　閉じる　"));
}

bool RunResultsWindow::OnInit(HWND window)
{
    SetWindowTextW(window, kRunResultsCaption);
    CreateControls(window);
    WidenColumns();

    const DpiScaling dpi(Dpi());
    const SIZE frame = FrameSize(window);
    const SIZE least = MinimumWindowSize(window);
    // Wide enough for every column where the screen has the room, so that the twins show.
    int columns = 0;
    for (int column = 0; column < NotCopiedRows::kColumnCount; ++column)
        columns += static_cast<int>(SendMessageW(list_->Window(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    const int wanted = columns + dpi.Scale(2 * kMargin + kScrollBarRoom) + frame.cx;
    const int width = std::max<int>({std::min(wanted, WorkAreaWidth(Parent() ? Parent() : window) * 9 / 10),
                                     dpi.Scale(kDesignWidth), least.cx});
    const int height = std::max<int>(dpi.Scale(kDesignHeight), least.cy);
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    initialised_ = true;
    Layout();
    CenterOverParent(Parent(), window);

    // The list first: it is what the user came to see, and Enter opens the file's folder.
    if (rows_.Count() != 0) {
        ShowRows(static_cast<std::int64_t>(rows_.FileAt(0)));
        SetFocus(list_->Window());
    } else {
        SetFocus(close_->Window());
    }
    UpdateButtons();
    return false;  // the focus is placed
}

SIZE RunResultsWindow::FrameSize(HWND window) const
{
    RECT frame{};
    AdjustWindowRectForDpi(&frame, window, Dpi());
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

SIZE RunResultsWindow::MinimumWindowSize(HWND window) const
{
    const SIZE frame = FrameSize(window), least = MinimumClientSize();
    return SIZE{least.cx + frame.cx, least.cy + frame.cy};
}

SIZE RunResultsWindow::MinimumClientSize() const
{
    const DpiScaling dpi(Dpi());
    const int margin = dpi.Scale(kMargin), gap = dpi.Scale(kGap);
    LONG width = 0, height = margin;
    for (std::size_t i = 0; i < countLabels_.size(); ++i) {
        width = std::max<LONG>(width, (countParts_[i] ? dpi.Scale(kPartIndent) : 0) + countLabels_[i]->Width());
        height += countLabels_[i]->Height() + gap;
    }
    width = std::max<LONG>(width, listLabel_->Width() + 4 * gap + searchLabel_->Width() + gap + search_->Width());
    width = std::max<LONG>(width, openFolder_->Width() + gap + copy_->Width() + 4 * gap + close_->Width());
    const int rowHeight = std::max(search_->Height(), listLabel_->Height());
    const int buttonHeight = std::max({openFolder_->Height(), copy_->Height(), close_->Height()});
    height += margin + rowHeight + gap + dpi.Scale(kLeastListHeight) + gap + buttonHeight + margin;
    return SIZE{width + 2 * margin, height};
}

void RunResultsWindow::Layout()
{
    if (!initialised_)
        return;
    const DpiScaling dpi(Dpi());
    const int margin = dpi.Scale(kMargin), gap = dpi.Scale(kGap);
    RECT client{};
    GetClientRect(Window(), &client);
    const int width = client.right, height = client.bottom;

    int y = margin;
    for (std::size_t i = 0; i < countLabels_.size(); ++i) {
        countLabels_[i]->MoveTo(margin + (countParts_[i] ? dpi.Scale(kPartIndent) : 0), y);
        y = BottomOf(countLabels_[i]) + gap;
    }
    y += margin - gap;

    // The list's label on the left, the search field on the right, one row.
    const int rowHeight = std::max(search_->Height(), listLabel_->Height());
    const auto centred = [&](const Control* control) { return y + (rowHeight - control->Height()) / 2; };
    const int searchX = width - margin - search_->Width();
    search_->MoveTo(searchX, centred(search_));
    searchLabel_->MoveTo(searchX - gap - searchLabel_->Width(), centred(searchLabel_));
    listLabel_->MoveTo(margin, centred(listLabel_));
    y += rowHeight + gap;

    const int buttonHeight = std::max({openFolder_->Height(), copy_->Height(), close_->Height()});
    const int buttonsTop = height - margin - buttonHeight;
    list_->MoveTo(margin, y);
    list_->Resize(width - 2 * margin, std::max(dpi.Scale(kLeastListHeight), buttonsTop - gap - y), true);
    openFolder_->MoveTo(margin, buttonsTop);
    copy_->MoveTo(margin + openFolder_->Width() + gap, buttonsTop);
    close_->MoveTo(width - margin - close_->Width(), buttonsTop);
}

void RunResultsWindow::OnDpiChanged(UINT)
{
    controls_.ApplyDpi(Dpi());
    // The window took the size the system suggested; the fonts of this DPI may want more.
    RECT window{};
    GetWindowRect(Window(), &window);
    const SIZE least = MinimumWindowSize(Window());
    const LONG width = std::max<LONG>(window.right - window.left, least.cx);
    const LONG height = std::max<LONG>(window.bottom - window.top, least.cy);
    SetWindowPos(Window(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
}

bool RunResultsWindow::OnOtherMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR* result)
{
    switch (message) {
    case WM_SIZE:
        Layout();
        break;
    case WM_GETMINMAXINFO: {
        if (!initialised_)
            return false;
        const SIZE least = MinimumWindowSize(Window());
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{least.cx, least.cy};
        break;
    }
    default:
        return false;
    }
    *result = TRUE;
    return true;
}

void RunResultsWindow::WidenColumns()
{
    const DpiScaling dpi(Dpi());
    const HFONT font = list_->Font();
    for (int column = 0; column < NotCopiedRows::kColumnCount; ++column) {
        // A caption leaves room for the sort arrow beside it.
        int widest = MeasureText(font, NotCopiedRows::Caption(column)).cx + dpi.Scale(32);
        const std::size_t measured = std::min(rows_.Count(), kRowsMeasured);
        for (std::size_t row = 0; row < measured; ++row)
            widest = std::max<int>(widest, MeasureText(font, rows_.Cell(row, column)).cx + dpi.Scale(16));
        const int width = std::clamp(widest, dpi.Scale(kLeastColumnWidth[column]), dpi.Scale(kMostColumnWidth));
        SendMessageW(list_->Window(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), width);
    }
}

void RunResultsWindow::OnSortClicked(int column)
{
    // The same column again turns the order round.
    ascending_ = column == sortColumn_ ? !ascending_ : true;
    sortColumn_ = column;
    list_->ShowSortArrow(column, ascending_);
    const std::int64_t selected = SelectedFile();
    rows_.SortBy(column, ascending_);
    ShowRows(selected);
}

void RunResultsWindow::ShowRows(std::int64_t keepSelected)
{
    const HWND list = list_->Window();
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    list_->SetVirtualRowCount(static_cast<int>(rows_.Count()));
    if (const std::int64_t row = keepSelected < 0 ? -1 : rows_.RowOf(static_cast<std::size_t>(keepSelected)); row >= 0) {
        ListView_SetItemState(list, static_cast<int>(row), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, static_cast<int>(row), FALSE);
    }
    InvalidateRect(list, nullptr, TRUE);
    UpdateButtons();
}

std::int64_t RunResultsWindow::SelectedFile() const
{
    if (!list_)
        return -1;
    const int row = list_->FirstSelected();
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.Count())
        return -1;
    return static_cast<std::int64_t>(rows_.FileAt(static_cast<std::size_t>(row)));
}

void RunResultsWindow::UpdateButtons()
{
    if (!openFolder_)
        return;
    EnableWindow(openFolder_->Window(), SelectedFile() >= 0);
    EnableWindow(copy_->Window(), rows_.Count() != 0);
}

void RunResultsWindow::OpenSelectedFolder()
{
    const std::int64_t file = SelectedFile();
    if (file >= 0)
        ShowInFolder(Window(), summary_->PathOf(static_cast<std::size_t>(file)));
}

void RunResultsWindow::CopyShownRows()
{
    if (!PutTextOnClipboard(Window(), rows_.Text()))
        ShowMessageBox(Window(), L"クリップボードにコピーできませんでした。", kNoticeCaption, MB_OK | MB_ICONEXCLAMATION);
}

bool RunResultsWindow::OnNotify(const NMHDR& header)
{
    if (!list_ || header.hwndFrom != list_->Window())
        return false;
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        auto& item = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item;
        if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0)
            return true;
        const bool known = item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < rows_.Count() &&
                           item.iSubItem >= 0 && item.iSubItem < NotCopiedRows::kColumnCount;
        const std::wstring text = known ? rows_.Cell(static_cast<std::size_t>(item.iItem), item.iSubItem) : L"";
        lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
        return true;
    }
    case LVN_COLUMNCLICK:
        OnSortClicked(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return true;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
        UpdateButtons();
        return false;
    case NM_DBLCLK:
        OpenSelectedFolder();
        return true;
    default:
        return false;
    }
}

void RunResultsWindow::OnCommand(int id, int code, HWND control)
{
    if (!initialised_)
        return;
    if (control && control == search_->Window()) {
        if (code == EN_CHANGE) {
            const std::int64_t selected = SelectedFile();
            rows_.Find(search_->GetText());
            ShowRows(selected);
        }
        return;
    }
    if (id == IDOK) {
        // Enter: on the list it opens the file's folder; in the search field it goes to the
        // rows found.
        const HWND focus = GetFocus();
        if (focus == list_->Window())
            OpenSelectedFolder();
        else if (focus == search_->Window())
            SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_->Window()), TRUE);
        return;
    }
    if (id == IDCANCEL || (control && control == close_->Window()))
        EndDialog(Window(), 0);
    else if (control && control == openFolder_->Window())
        OpenSelectedFolder();
    else if (control && control == copy_->Window())
        CopyShownRows();
}
