#include "app/main_window.h"

#include <dbt.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <initializer_list>

#include "app/execute_organize.h"
#include "app/format_preview.h"
#include "app/run_settings.h"
#include "app/settings_sheet.h"
#include "app/window_placement.h"
#include "base/base_limits.h"
#include "base/settings_store.h"
#include "base/paths.h"
#include "base/trace.h"
#include "base/version.h"
#include "organize/date_folder_format.h"
#include "organize/organize_settings.h"
#include "ui/control_styles.h"
#include "ui/dpi_scaling.h"
#include "ui/row_layout.h"
#include "ui/ui_seams.h"

namespace {

constexpr DWORD kResizableStyles = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr int kDefaultSize = 640;
constexpr int kMinimumCells = 32;
const wchar_t kPickInputTitle[] = L"整理を行いたい写真ファイルのあるフォルダを選択してください。";
const wchar_t kPickOutputTitle[] = L"整理を行った写真の出力先フォルダを選択してください。";
const wchar_t kInputCaption[] = L"入力フォルダ（整理したい写真ファイルのあるフォルダ）";
const wchar_t kOutputCaption[] = L"出力先フォルダ（整理されたファイルを出力するフォルダ）";
// What a screen reader calls the preview, which shows no label of its own.
const wchar_t kPreviewName[] = L"整理後のフォルダのプレビュー";
// Disk drives: the class whose arrivals announce a card or a stick.
const GUID kDiskDriveClass = {0x4D36E96A, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// The drive letter of a volume mask with exactly one drive, or 0.
wchar_t SingleDrive(DWORD unitMask)
{
    if (unitMask == 0 || (unitMask & (unitMask - 1)) != 0)
        return 0;
    for (int n = 0; n < 26; ++n) {
        if (unitMask == (1u << n))
            return static_cast<wchar_t>(L'A' + n);
    }
    return 0;
}

RECT DefaultWindowRect(UINT dpi)
{
    const int size = ScaleToDpi(kDefaultSize, dpi);
    const int left = (GetSystemMetrics(SM_CXFULLSCREEN) - size) / 2;
    const int top = (GetSystemMetrics(SM_CYFULLSCREEN) - size) / 2;
    return RECT{left, top, left + size, top + size};
}

}  // namespace

void MainWindow::CreateControls(HWND window)
{
    auto& f = controls_;
    run_ = f.Get<Button>(f.CreateButton(window, 0, 0, L"写真整理の実行"));
    MakeProminent(run_);

    const ClientMetrics metrics = GetDialogMetrics(window, Dpi());
    // The list and the output box are named, for a screen reader, by the captions of their groups.
    f.CreateHiddenLabel(window, kInputCaption);
    folderList_ = f.Get<ListView>(f.CreateListView(window, 0, 300, 100));
    folderList_->AddColumn(L"整理したい写真ファイルのあるフォルダ", LVCFMT_LEFT, 64 * metrics.charWidth);
    folderList_->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    DragAcceptFiles(folderList_->Window(), TRUE);

    f.UseIdForNext(kAddFolder);
    add_ = f.Get<Button>(f.CreateButton(window, 0, 0, L"　追加　"));
    f.UseIdForNext(kEditFolder);
    edit_ = f.Get<Button>(f.CreateButton(window, 0, 0, L"　編集　"));
    f.UseIdForNext(kDeleteFolders);
    delete_ = f.Get<Button>(f.CreateButton(window, 0, 0, L"　削除　"));

    f.CreateHiddenLabel(window, kOutputCaption);
    outputBox_ = f.Get<EditBox>(f.CreateEdit(window, 0, 0, 32, ES_AUTOHSCROLL));
    outputBox_->SetLimit(base_limits::kMaxPathChars);
    outputBox_->SetText(g_SettingsStore.GetString(kAppSettingsSection, L"OutputFolder", L""));
    driveHint_ = f.Get<StaticText>(f.CreateStatic(
        window, 0, 0, L"ＵＳＢメモリや、カメラをＵＳＢに接続すると自動的に入力フォルダに追加されます。"));
    f.UseIdForNext(kBrowseOutput);
    browse_ = f.Get<Button>(f.CreateButton(window, 0, 0, L"　参照　"));

    formatLabel_ = f.Get<StaticText>(f.CreateStatic(window, 0, 0, L"整理するフォルダの形式"));
    formatCombo_ = f.Get<ComboBox>(f.CreateComboBox(window, 32, 20, CBS_DROPDOWNLIST, 0, 0));
    for (int i = 0; i < kDateFolderFormatCount; ++i)
        formatCombo_->AddItem(DateFolderFormatLabel(i), 0);
    formatCombo_->Select(g_OrganizeSettings.OutputFormatType);
    f.CreateHiddenLabel(window, kPreviewName);
    preview_ = f.Get<TreeView>(f.CreateTreeView(window, 0, 0, 320, 320, ControlStyle::kTreeView));

    f.UseIdForNext(kAlbumOption);
    albumOption_ = f.Get<CheckBox>(f.CreateCheckBox(window, 0, 0, L"プレビューできないファイルも写真一覧HTMLに含める"));
    albumOption_->SetChecked(g_SettingsStore.GetInt(kAppSettingsSection, L"MakePhotoHtmlIncludeNoPreview", 1) != 0);
    f.UseIdForNext(kAlbumSwitch);
    albumSwitch_ = f.Get<CheckBox>(f.CreateCheckBox(window, 0, 0, L"写真一覧HTMLを生成する"));
    albumSwitch_->SetChecked(g_SettingsStore.GetInt(kAppSettingsSection, L"MakePhotoHtml", 1) != 0);
    openAlbum_ = f.Get<Button>(f.CreateButton(window, 0, 0, L"写真一覧HTMLを開く"));
    MakeProminent(openAlbum_);

    // Created last, so that the controls inside them lie on top.
    outputGroup_ = f.Get<GroupBox>(f.CreateGroupBox(window, kOutputCaption, 0, 100, 100));
    inputGroup_ = f.Get<GroupBox>(f.CreateGroupBox(window, kInputCaption, 0, 100, 100));

    folderList_->Subclass(&MainWindow::FolderListCallback, this);
    // Tab goes in reading order, which is the order of making but for the run button, made
    // first for its size and last in the window's reading.
    SetWindowPos(run_->Window(), openAlbum_->Window(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool MainWindow::OnInit(HWND window)
{
    g_OrganizeSettings.Load();
    SetWindowTextW(window, kProductName);
    SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | kResizableStyles);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto* icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    // The window owns the menu from here: DestroyWindow frees an attached menu.
    SetMenu(window, LoadMenuW(instance, MAKEINTRESOURCEW(kMenuId)));
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    DragAcceptFiles(window, TRUE);

    CreateControls(window);
    // The notice of a new version comes once the window is up where the user looks, and
    // over it: from here the window is not shown yet.
    PostMessageW(window, kCheckForUpdateMessage, 0, 0);

    const RECT rect = LoadWindowRect(g_SettingsStore, L"Window", L"WindowRect", DefaultWindowRect(Dpi()));
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER);

    for (const std::wstring& folder : g_SettingsStore.GetList(L"FOLDER_HISTORY"))
        folderList_->InsertRow(folderList_->RowCount(), folder);

    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kDiskDriveClass;
    deviceNotify_.reset(RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));

    UpdateButtons();
    initialised_ = true;
    UpdateFormatPreview();
    Layout();
    // A rectangle saved under other fonts may be too small for these.
    GrowToMinimumSize();
    return true;
}

void MainWindow::GrowToMinimumSize()
{
    RECT now{};
    GetWindowRect(Window(), &now);
    const SIZE minimum = MinimumWindowSize(now.right - now.left);
    if (now.right - now.left < minimum.cx || now.bottom - now.top < minimum.cy)
        SetWindowPos(Window(), nullptr, 0, 0, std::max(now.right - now.left, minimum.cx),
                     std::max(now.bottom - now.top, minimum.cy), SWP_NOMOVE | SWP_NOZORDER);
}

void MainWindow::OnDpiChanged(UINT)
{
    controls_.ApplyDpi(Dpi());
    Layout();
    GrowToMinimumSize();
}

void MainWindow::Layout()
{
    if (!initialised_)
        return;
    const ClientMetrics m = GetDialogMetrics(Window(), Dpi());
    const int W = m.width, H = m.height, cw = m.charWidth, ch = m.charHeight;
    const int T = ch / 2 + H / 3;
    const int v = T + 3 * ch / 2;
    const int bh = browse_->Height();
    const int gap = RowGap(ch);
    RowFlow rows(gap);

    // The side buttons must stay inside the group, however wide their font draws them.
    const int sideWidth = std::max({add_->Width(), edit_->Width(), delete_->Width()});
    // The list and the box leave at least this much room on their right.
    const int margin = ScaleToDpi(96, Dpi());
    const int listWidth = std::min(W - margin, W - 3 * cw - sideWidth);
    inputGroup_->MoveTo(cw / 2, ch / 2);
    const int listTop = rows.Place(3 * ch / 2, ch / 2 + CaptionHeight(inputGroup_));
    folderList_->MoveTo(cw, listTop);
    folderList_->Resize(listWidth, H / 3 - 2 * bh, true);
    const int sideX = cw + listWidth + cw;
    add_->MoveTo(sideX, listTop);
    edit_->MoveTo(sideX, std::max(listTop + 2 * ch, BottomOf(add_) + gap));
    delete_->MoveTo(sideX, std::max(listTop + 4 * ch, BottomOf(edit_) + gap));
    driveHint_->MoveTo(cw, rows.Place(T + ch / 2 - bh, std::max(BottomOf(folderList_), BottomOf(delete_))));
    // Below this third of the height the list would end above the side buttons, and the rows
    // under it would stop following the height.
    minimumThird_ = BottomOf(delete_) - listTop + 2 * bh;
    const int inputBottom = std::max(ch / 2 + T + rows.Shift(), BottomOf(driveHint_) + gap);
    inputGroup_->Resize(W - cw, inputBottom - ch / 2, true);

    const int outputTop = rows.Place(v, inputBottom);
    const int boxWidth = std::min(W - margin, W - 3 * cw - browse_->Width());
    outputGroup_->MoveTo(cw / 2, outputTop);
    const int boxTop = rows.Place(v + ch, outputTop + CaptionHeight(outputGroup_));
    outputBox_->MoveTo(cw, boxTop);
    outputBox_->Resize(boxWidth, bh, true);
    browse_->MoveTo(cw + boxWidth + cw, boxTop);
    formatLabel_->MoveTo(cw, rows.Place(v + 5 * bh / 2, std::max(BottomOf(outputBox_), BottomOf(browse_))));
    formatCombo_->MoveTo(cw, rows.Place(v + 4 * ch, BottomOf(formatLabel_)));
    preview_->MoveTo(cw, rows.Place(v + 6 * ch, BottomOf(formatCombo_)));
    preview_->Resize(W - margin, 5 * ch, true);
    const int outputBottom = std::max(v + 12 * ch + rows.Shift(), BottomOf(preview_) + ch / 2);
    outputGroup_->Resize(W - cw, outputBottom - outputTop, true);

    albumOption_->MoveTo(3 * cw / 2, rows.Place(v + 12 * ch + ch / 2, outputBottom));
    albumSwitch_->MoveTo(3 * cw / 2, rows.Place(v + 13 * ch + ch / 2, BottomOf(albumOption_)));
    openAlbum_->MoveTo(cw, rows.Place(v + 15 * ch, BottomOf(albumSwitch_)));
    run_->MoveTo(W - cw / 2 - run_->Width(), H - ch / 2 - run_->Height());

    // What the smallest window must hold: every row at its full width, and the run button in
    // the corner below the rows it would meet. The rows hang from H / 3, so their bottoms are
    // kept relative to it.
    LONG width = 3 * cw + sideWidth + 8 * cw;
    using Controls = std::initializer_list<const Control*>;
    for (const Control* fixed : Controls{driveHint_, formatLabel_, formatCombo_, albumOption_, albumSwitch_})
        width = std::max(width, fixed->ClientRectInParent().right + 2 * cw);
    for (const Control* group : Controls{inputGroup_, outputGroup_})
        width = std::max<LONG>(width, MeasureText(group->Font(), group->GetText()).cx + 3 * cw);
    minimumClientWidth_ = std::max(width, openAlbum_->ClientRectInParent().right + cw + run_->Width() + cw / 2);
    outputBottomBelowThird_ = outputBottom - H / 3;
    lowRows_.clear();
    for (const Control* row : Controls{albumOption_, albumSwitch_, openAlbum_}) {
        RECT at = row->ClientRectInParent();
        at.bottom -= H / 3;
        lowRows_.push_back(at);
    }
}

SIZE MainWindow::MinimumWindowSize(LONG windowWidth) const
{
    // At least 32 character cells each way, and whatever the controls need in their fonts.
    const ClientMetrics m = GetDialogMetrics(Window(), Dpi());
    RECT window{}, client{};
    GetWindowRect(Window(), &window);
    GetClientRect(Window(), &client);
    const LONG frameX = (window.right - window.left) - client.right;
    const LONG frameY = (window.bottom - window.top) - client.bottom;
    const LONG width = std::max<LONG>({windowWidth, kMinimumCells * m.charWidth, minimumClientWidth_ + frameX});

    // Every row stays above the bottom margin, and above the run button where it would meet it.
    const LONG runLeft = width - frameX - m.charWidth / 2 - run_->Width();
    const LONG belowRun = RowGap(m.charHeight) + run_->Height();
    LONG rows = outputBottomBelowThird_ + belowRun;  // the group spans the window
    for (const RECT& row : lowRows_)
        rows = std::max(rows, row.bottom + (row.right > runLeft ? belowRun : 0));
    rows += m.charHeight / 2;
    // The client height H must leave H - H / 3 for them; the slack covers the integer divisions.
    const LONG height = std::max<LONG>(rows * 3 / 2, 3 * minimumThird_) + 3 + frameY;
    return SIZE{width, std::max<LONG>(kMinimumCells * m.charHeight, height)};
}

void MainWindow::SaveWindowRect()
{
    // Saved at every move and size: a settings file that takes no writes is said when the
    // user's choices are saved, not at each step of a drag.
    if (initialised_)
        (void)::SaveWindowRect(g_SettingsStore, Window(), L"Window", L"WindowRect");
}

void MainWindow::OnClose(HWND window)
{
    deviceNotify_.reset();
    EndDialog(window, 0);
    PostQuitMessage(0);
}

bool MainWindow::OnNotify(const NMHDR& header)
{
    if (folderList_ && header.hwndFrom == folderList_->Window() && header.code == LVN_ITEMCHANGED)
        UpdateButtons();
    return false;
}

bool MainWindow::OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result)
{
    switch (message) {
    case WM_SIZE:
        Layout();
        SaveWindowRect();
        break;
    case WM_MOVE:
        SaveWindowRect();
        break;
    case WM_SIZING: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        const SIZE minimum = MinimumWindowSize(rect->right - rect->left);
        rect->right = std::max(rect->right, rect->left + minimum.cx);
        rect->bottom = std::max(rect->bottom, rect->top + minimum.cy);
        break;
    }
    case WM_DEVICECHANGE:
        OnDeviceChange(wParam, lParam);
        break;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        break;
    case kCheckForUpdateMessage: {
        if (!IsWindowVisible(Window()))
            ShowWindow(Window(), SW_SHOW);
        UpdateWindow(Window());
        updateCheck_.Start(std::wstring(kProductName) + L"のアップデート。", kProductVersion, Window());
        break;
    }
    default:
        return false;
    }
    *result = TRUE;
    return true;
}

LRESULT MainWindow::FolderListCallback(WindowSubclass& hook, HWND, UINT message, WPARAM wParam, LPARAM)
{
    auto* self = static_cast<MainWindow*>(hook.Owner());
    if (message == WM_DROPFILES) {
        self->OnDropFiles(reinterpret_cast<HDROP>(wParam));
        hook.SetHandled(true);
    } else if (message == WM_KEYDOWN && wParam == VK_DELETE) {
        // The Delete key does what 「削除」 does, when it would.
        if (IsWindowEnabled(self->delete_->Window()))
            self->OnCommand(kDeleteFolders, BN_CLICKED, nullptr);
        hook.SetHandled(true);
    }
    return 0;
}

void MainWindow::OnDropFiles(HDROP drop)
{
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        if (path.empty())
            continue;
        const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            AddInputFolder(path);
    }
    DragFinish(drop);
}

void MainWindow::OnDeviceChange(WPARAM event, LPARAM data)
{
    if (event == DBT_DEVNODES_CHANGED) {
        WriteTraceLine(L"DBT_DEVNODES_CHANGED");
        return;
    }
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE)
        return;
    const bool arrival = event == DBT_DEVICEARRIVAL;
    WriteTraceLine(arrival ? L"DBT_DEVICEARRIVAL" : L"DBT_DEVICEREMOVECOMPLETE");
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_VOLUME)
        return;
    const wchar_t letter = SingleDrive(reinterpret_cast<const DEV_BROADCAST_VOLUME*>(data)->dbcv_unitmask);
    if (!letter)
        return;
    const std::wstring drive = std::wstring(1, letter) + L":";
    WriteTraceLine(std::wstring(1, letter) + (arrival ? L"ドライブ" : L"ドライブ(削除)"));
    if (arrival)
        AddInputFolder(drive);
    else
        RemoveInputFolder(drive);
}

void MainWindow::OnCommand(int id, int code, HWND from)
{
    // Controls report changes while they are being made; only a finished window answers.
    if (!initialised_)
        return;
    if (from && from == openAlbum_->Window()) {
        ShellOpen(Window(), AlbumIndexPath(outputBox_->GetText()));
        return;
    }
    if (from && from == run_->Window()) {
        OnExecute();
        return;
    }
    if (from && from == outputBox_->Window()) {
        UpdateFormatPreview();
        return;
    }
    if (from && from == formatCombo_->Window()) {
        if (code == CBN_SELENDOK)
            UpdateFormatPreview();
        return;
    }
    std::wstring chosen;
    switch (id) {
    case kSupportSite:
        if (!IsDeveloperMachine())
            ShellOpen(Window(), kSupportSiteAddress);
        break;
    case kAddFolder:
        if (PickFolder(Window(), g_SettingsStore.GetString(kAppSettingsSection, L"DefaultInputFolder", L""), kPickInputTitle, &chosen)) {
            AddInputFolder(chosen);
            if (!g_SettingsStore.SetString(kAppSettingsSection, L"DefaultInputFolder", chosen.c_str()))
                g_SettingsStore.LogUnsaved(kAppSettingsSection);
        }
        break;
    case kBrowseOutput:
        if (PickFolder(Window(), g_SettingsStore.GetString(kAppSettingsSection, L"OutputFolder", L""), kPickOutputTitle, &chosen)) {
            outputBox_->SetText(chosen);
            SaveSettings();
        }
        break;
    case kDeleteFolders:
        for (int row = folderList_->FirstSelected(); row >= 0; row = folderList_->FirstSelected())
            folderList_->DeleteRow(row);
        SaveSettings();
        break;
    case kEditFolder: {
        const int row = folderList_->FirstSelected();
        if (row >= 0 && PickFolder(Window(), folderList_->RowText(row), kPickInputTitle, &chosen)) {
            ReplaceSelectedFolder(chosen);
            if (!g_SettingsStore.SetString(kAppSettingsSection, L"DefaultInputFolder", chosen.c_str()))
                g_SettingsStore.LogUnsaved(kAppSettingsSection);
        }
        break;
    }
    case kAlbumSwitch:
    case kAlbumOption:
        SaveSettings();
        break;
    case kVersionPage:
        ShowVersionSheet(Window());
        break;
    case kSettingsSheet:
        ShowSettingsSheet(Window());
        break;
    default:
        break;
    }
}

bool MainWindow::IsListed(const std::wstring& path) const
{
    for (int row = 0; row < folderList_->RowCount(); ++row) {
        if (SamePathText(folderList_->RowText(row), path)) {
            ShowMessageBox(Window(), L"\"" + path + L"\"は既に登録されています。", std::wstring(kProductName) + L"エラー",
                           MB_OK | MB_ICONERROR);
            return true;
        }
    }
    return false;
}

void MainWindow::AddInputFolder(const std::wstring& path)
{
    if (IsListed(path))
        return;
    folderList_->InsertRow(folderList_->RowCount(), path);
    SaveSettings();
}

void MainWindow::ReplaceSelectedFolder(const std::wstring& path)
{
    if (IsListed(path))
        return;
    const int row = folderList_->FirstSelected();
    if (row < 0)
        return;
    folderList_->SetRowText(row, path);
    SaveSettings();
}

void MainWindow::RemoveInputFolder(const std::wstring& path)
{
    for (int row = 0; row < folderList_->RowCount(); ++row) {
        if (SamePathText(folderList_->RowText(row), path)) {
            folderList_->DeleteRow(row);
            SaveSettings();
            return;
        }
    }
}

void MainWindow::UpdateButtons()
{
    const int selected = folderList_->SelectedCount();
    EnableWindow(delete_->Window(), selected >= 1);
    EnableWindow(edit_->Window(), selected == 1);
}

void MainWindow::UpdateAlbumButton()
{
    const std::wstring album = AlbumIndexPath(outputBox_->GetText());
    EnableWindow(openAlbum_->Window(), GetFileAttributesW(ExtendedLengthPath(album).c_str()) != INVALID_FILE_ATTRIBUTES);
}

void MainWindow::SaveSettings()
{
    std::vector<std::wstring> folders;
    for (int row = 0; row < folderList_->RowCount(); ++row)
        folders.push_back(WithoutTrailingBackslash(folderList_->RowText(row)));
    SaveFolderHistory(folders);
    g_OrganizeSettings.SetRunValues(formatCombo_->Selection(), albumSwitch_->IsChecked(), albumOption_->IsChecked());
    SaveRunValues(WithoutTrailingBackslash(outputBox_->GetText()), g_OrganizeSettings);
}

void MainWindow::UpdateFormatPreview()
{
    if (!initialised_)
        return;
    preview_->DeleteAll();
    HTREEITEM root = preview_->InsertItem(TVI_ROOT, TVI_LAST, WithoutTrailingBackslash(outputBox_->GetText()), 0, 0, 0);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    // Inserts the nodes under a parent; expands a node once its children are in.
    struct Inserter {
        TreeView* tree;
        void Insert(HTREEITEM parent, const std::vector<PreviewNode>& nodes)
        {
            for (const PreviewNode& node : nodes) {
                HTREEITEM item = tree->InsertItem(parent, TVI_LAST, node.text, 0, 0, 0);
                Insert(item, node.children);
                if (!node.children.empty())
                    tree->Expand(item);
            }
        }
    } inserter{preview_};
    inserter.Insert(root, FormatPreviewNodes(formatCombo_->Selection(), now.wYear));
    preview_->Expand(root);
    UpdateAlbumButton();
    SaveSettings();
}

void MainWindow::OnExecute()
{
    RunChoices choices;
    for (int row = 0; row < folderList_->RowCount(); ++row)
        choices.inputFolders.push_back(folderList_->RowText(row));
    choices.outputText = outputBox_->GetText();
    choices.outputFormat = formatCombo_->Selection();
    choices.makeAlbum = albumSwitch_->IsChecked();
    choices.albumIncludesNoPreview = albumOption_->IsChecked();
    ExecuteOrganize(Window(), choices, openAlbum_->Window());
}
