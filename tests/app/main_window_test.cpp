// The main window as a user meets it: real controls on the virtual display, driven with the
// messages that clicks, drops and drives cause; the settings file read back after each.

// Before anything that includes windows.h: the server's sockets header must come first.
#include "tests/support/loopback_http_server.h"

#include "app/main_window.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <shlobj.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "app/format_preview.h"
#include "base/settings_store.h"
#include "base/version.h"
#include "organize/organize_settings.h"
#include "update/update_check.h"
#include "tests/support/layout_check.h"
#include "tests/support/screenshot.h"
#include "tests/app/scripted_main_window.h"

namespace {

std::wstring ItemText(HWND tree, HTREEITEM item)
{
    wchar_t text[260] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = 260;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

// The tree below an item, as nested PreviewNodes.
std::vector<PreviewNode> Children(HWND tree, HTREEITEM parent)
{
    std::vector<PreviewNode> nodes;
    for (auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
         item; item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
        nodes.push_back(PreviewNode{ItemText(tree, item), Children(tree, item)});
    return nodes;
}

TEST_F(MainWindowTest, FirstStartWithoutSettings)
{
    RECT rect{};
    bool albumOn = false, optionOn = false, shot = false, hasMenu = false;
    std::wstring title;
    int format = -1;
    std::wstring output = L"x";
    int rows = -1;
    Show([&](ScriptedMainWindow& w) {
        GetWindowRect(w.Window(), &rect);
        albumOn = w.AlbumSwitch()->IsChecked();
        optionOn = w.AlbumOption()->IsChecked();
        format = w.FormatCombo()->Selection();
        output = w.OutputBox()->GetText();
        rows = w.FolderList()->RowCount();
        shot = SaveScreenshot(w.Window(), L"main_window_first_start");
        wchar_t text[64] = {};
        GetWindowTextW(w.Window(), text, 64);
        title = text;
        hasMenu = GetMenu(w.Window()) != nullptr;
    });
    EXPECT_EQ(title, L"Kasumiro");
    EXPECT_TRUE(hasMenu);
    EXPECT_EQ(rows, 0);
    EXPECT_EQ(output, L"");
    EXPECT_TRUE(albumOn);
    EXPECT_TRUE(optionOn);
    EXPECT_EQ(format, 3);
    EXPECT_EQ(rect.right - rect.left, 640);
    EXPECT_EQ(rect.bottom - rect.top, 640);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXFULLSCREEN) - 640) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYFULLSCREEN) - 640) / 2);
    EXPECT_TRUE(shot);
}

HDROP MakeDrop(const std::vector<std::wstring>& paths)
{
    size_t chars = 1;
    for (const auto& path : paths)
        chars += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(drop + 1);
    for (const auto& path : paths) {
        wcscpy(text, path.c_str());
        text += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

void SendVolume(HWND window, WPARAM event, DWORD mask)
{
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = mask;
    SendMessageW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
}

TEST_F(MainWindowTest, FoldersArriveByPickerDropAndDrive)
{
    const std::wstring photos = MakeFile(root_.File(L"Photos\\a.jpg")).substr(0, root_.File(L"Photos").size());
    const std::wstring card = root_.File(L"写真カード");
    const std::wstring second = root_.File(L"second");
    CreateDirectoryW(card.c_str(), nullptr);
    CreateDirectoryW(second.c_str(), nullptr);
    const std::wstring file = MakeFile(root_.File(L"just a file.txt"));
    std::vector<std::wstring> afterPick, afterDrop, afterArrival, afterRemoval, afterDelete, afterKeyWithoutSelection, afterKey;
    std::vector<std::wstring> historyAfterArrival;
    Show([&](ScriptedMainWindow& w) {
        g_pickerAnswers = {photos};
        w.Command(MainWindow::kAddFolder);
        afterPick = w.Rows();
        g_pickerAnswers = {CharLowerW(std::wstring(photos).data())};
        w.Command(MainWindow::kAddFolder);  // the same folder in other letters
        SendMessageW(w.Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({card, file, second})), 0);
        afterDrop = w.Rows();
        SendVolume(w.Window(), DBT_DEVICEARRIVAL, 1u << 4);
        SendVolume(w.Window(), DBT_DEVICEARRIVAL, (1u << 5) | (1u << 6));  // two drives: ignored
        afterArrival = w.Rows();
        historyAfterArrival = g_SettingsStore.GetList(L"FOLDER_HISTORY");
        SendVolume(w.Window(), DBT_DEVICEREMOVECOMPLETE, 1u << 4);
        afterRemoval = w.Rows();
        // Editing a row to a folder already listed.
        w.FolderList()->SelectRow(1, true);
        g_pickerAnswers = {second};
        w.Command(MainWindow::kEditFolder);
        // Deleting several selected rows.
        w.FolderList()->SelectRow(0, true);
        w.Command(MainWindow::kDeleteFolders);
        afterDelete = w.Rows();
        // The Delete key in the list does what the button does, to the selected rows only.
        SendMessageW(w.FolderList()->Window(), WM_KEYDOWN, VK_DELETE, 0);
        afterKeyWithoutSelection = w.Rows();
        w.FolderList()->SelectRow(0, true);
        SendMessageW(w.FolderList()->Window(), WM_KEYDOWN, VK_DELETE, 0);
        afterKey = w.Rows();
        w.Command(MainWindow::kBrowseOutput);  // cancelled
    });
    // The pickers say what they are for: two adds and an edit, then the output folder.
    const std::wstring pickInput = L"整理を行いたい写真ファイルのあるフォルダを選択してください。";
    EXPECT_EQ(g_pickerTitles, (std::vector<std::wstring>{pickInput, pickInput, pickInput,
                                                         L"整理を行った写真の出力先フォルダを選択してください。"}));
    EXPECT_EQ(afterPick, (std::vector<std::wstring>{photos}));
    EXPECT_EQ(afterDrop, (std::vector<std::wstring>{photos, card, second}));
    EXPECT_EQ(afterArrival, (std::vector<std::wstring>{photos, card, second, L"E:"}));
    EXPECT_EQ(historyAfterArrival, afterArrival);
    EXPECT_EQ(afterRemoval, (std::vector<std::wstring>{photos, card, second}));
    EXPECT_EQ(afterDelete, (std::vector<std::wstring>{second}));
    EXPECT_EQ(afterKeyWithoutSelection, (std::vector<std::wstring>{second}));
    EXPECT_TRUE(afterKey.empty());
    EXPECT_TRUE(History().empty());
    // Every folder chosen for the list is where the picker opens next, refused or not.
    EXPECT_EQ(g_SettingsStore.GetString(L"APP_INFO", L"DefaultInputFolder", L""), second);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, L"Kasumiroエラー");
    EXPECT_EQ(boxes[0].text, L"\"" + std::wstring(CharLowerW(std::wstring(photos).data())) + L"\"は既に登録されています。");
    EXPECT_EQ(boxes[1].text, L"\"" + second + L"\"は既に登録されています。");
}

// The layout table's places, where the fonts leave room for them; rows that a taller font
// pushes down only ever move down (main_window_layout_test.cpp checks that nothing overlaps).
TEST_F(MainWindowTest, LayoutFollowsTheWindowAndKeepsAMinimumSize)
{
    RECT small{100, 100, 110, 110}, roomy{100, 100, 1100, 1000};
    RECT inputGroup{}, list{}, run{}, preview{}, client{};
    int cw = 0, ch = 0;
    Show([&](ScriptedMainWindow& w) {
        SetWindowPos(w.Window(), nullptr, 50, 40, 900, 760, SWP_NOZORDER);
        const ClientMetrics m = GetDialogMetrics(w.Window(), w.Dpi());
        cw = m.charWidth;
        ch = m.charHeight;
        GetClientRect(w.Window(), &client);
        inputGroup = w.InputGroup()->ClientRectInParent();
        list = w.FolderList()->ClientRectInParent();
        run = w.RunButton()->ClientRectInParent();
        preview = w.Preview()->ClientRectInParent();
        SendMessageW(w.Window(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&small));
        SendMessageW(w.Window(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&roomy));
    });
    const int W = client.right, H = client.bottom;
    const int T = ch / 2 + H / 3;
    EXPECT_EQ(inputGroup.left, cw / 2);
    EXPECT_EQ(inputGroup.top, ch / 2);
    EXPECT_EQ(inputGroup.right - inputGroup.left, W - cw);
    EXPECT_GE(inputGroup.bottom - inputGroup.top, T);
    EXPECT_EQ(list.left, cw);
    EXPECT_GE(list.top, 3 * ch / 2);
    EXPECT_EQ(list.right - list.left, W - 96);
    EXPECT_EQ(run.right, W - cw / 2);
    EXPECT_EQ(run.bottom, H - ch / 2);
    EXPECT_GE(preview.top, T + 3 * ch / 2 + 6 * ch);
    EXPECT_EQ(preview.bottom - preview.top, 5 * ch);
    EXPECT_GE(small.right, 100 + 32 * cw);
    EXPECT_GE(small.bottom, 100 + 32 * ch);
    EXPECT_EQ(roomy.right, 1100);  // a window larger than it needs stays as dragged
    EXPECT_EQ(roomy.bottom, 1000);
}

// A new version announced: the notice comes over the main window, which is up and placed by
// then, and in its middle.
TEST_F(MainWindowTest, TheNoticeOfANewVersionComesCentredOverTheShownWindow)
{
    LoopbackHttpServer server;
    server.Answer(LoopbackHttpServer::Ok("1.1.8.0\r\nhttps://kasumiro.jp/download/\r\n"));
    const UpdateServerAddress savedServer = UpdateServer();
    UpdateServer() = UpdateServerAddress{L"127.0.0.1", server.Port()};
    EXPECT_TRUE(g_SettingsStore.SetInt(L"VERSION", L"notify", 0));  // the tests' settings keep notices off
    EXPECT_TRUE(g_SettingsStore.SetString(L"VERSION", L"next_version", L"1.1.8.0"));
    EXPECT_TRUE(g_SettingsStore.SetString(L"VERSION", L"next_notify", L"00000000:00000001"));
    const std::int32_t stored[4] = {300, 200, 1100, 800};
    EXPECT_TRUE(g_SettingsStore.SetStruct(L"Window", L"WindowRect", stored, sizeof stored));

    std::atomic<bool> seen{false}, ownerShown{false};
    RECT notice{}, owner{};
    std::thread user([&] {
        for (int wait = 0; wait < 400 && !seen; ++wait) {
            Sleep(25);
            for (HWND window = FindWindowExW(nullptr, nullptr, L"#32770", L"Kasumiroのアップデート。"); window;
                 window = FindWindowExW(nullptr, window, L"#32770", L"Kasumiroのアップデート。")) {
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                if (process != GetCurrentProcessId() || !IsWindowVisible(window))
                    continue;
                const HWND main = GetWindow(window, GW_OWNER);
                ownerShown = main && IsWindowVisible(main);
                GetWindowRect(window, &notice);
                GetWindowRect(main, &owner);
                seen = true;
                PostMessageW(window, WM_CLOSE, 0, 0);
                break;
            }
        }
    });
    Show([&](ScriptedMainWindow&) {
        // The notice is answered by the user's thread; the window waits for that.
        for (int wait = 0; wait < 400 && !seen; ++wait) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            Sleep(25);
        }
    });
    user.join();
    UpdateServer() = savedServer;
    ASSERT_TRUE(seen);
    EXPECT_TRUE(ownerShown);
    const LONG noticeMiddle = (notice.left + notice.right) / 2, ownerMiddle = (owner.left + owner.right) / 2;
    EXPECT_LE(std::abs(noticeMiddle - ownerMiddle), 8) << noticeMiddle << " " << ownerMiddle;
    // Centred on the client area: below the caption and the menu, by a few tens of pixels.
    const LONG noticeTop = (notice.top + notice.bottom) / 2, ownerTop = (owner.top + owner.bottom) / 2;
    EXPECT_LE(std::abs(noticeTop - ownerTop), 40) << noticeTop << " " << ownerTop;
    EXPECT_EQ(owner.left, 300);
}

// Tab and Shift+Tab reach every control that takes the focus, in reading order: top to bottom,
// and left to right within a row. A screen reader names each field by what it holds.
TEST_F(MainWindowTest, TabGoesThroughEveryControlInReadingOrderAndEachFieldHasItsName)
{
    std::vector<std::string> faults;
    std::vector<std::wstring> names;
    int stops = 0;
    Show([&](ScriptedMainWindow& w) {
        w.FolderList()->InsertRow(0, L"C:\\写真");
        w.FolderList()->SelectRow(0, true);  // 「編集」 and 「削除」 take the focus too
        faults = KeyboardFaults(w.Window());
        names = FieldNames(w.Window());
        for (HWND at = GetNextDlgTabItem(w.Window(), nullptr, FALSE); at && stops < 40;) {
            ++stops;
            at = GetNextDlgTabItem(w.Window(), at, FALSE);
            if (at == GetNextDlgTabItem(w.Window(), nullptr, FALSE))
                break;
        }
    });
    EXPECT_TRUE(faults.empty()) << Joined(faults);
    EXPECT_EQ(stops, 11);  // every control but 「写真一覧HTMLを開く」, greyed without an album
    EXPECT_EQ(names, (std::vector<std::wstring>{L"入力フォルダ（整理したい写真ファイルのあるフォルダ）",
                                                L"出力先フォルダ（整理されたファイルを出力するフォルダ）",
                                                L"整理するフォルダの形式", L"整理後のフォルダのプレビュー"}));
}

TEST_F(MainWindowTest, SavedRectangleComesBack)
{
    const std::int32_t stored[4] = {30, 40, 830, 640};
    EXPECT_TRUE(g_SettingsStore.SetStruct(L"Window", L"WindowRect", stored, sizeof stored));
    RECT rect{};
    Show([&](ScriptedMainWindow& w) {
        GetWindowRect(w.Window(), &rect);
        ShowWindow(w.Window(), SW_MAXIMIZE);  // a maximized window at close keeps the old one
    });
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right, 830);
    EXPECT_EQ(rect.bottom, 640);
    std::int32_t after[4] = {};
    ASSERT_TRUE(GetPrivateProfileStructW(L"Window", L"WindowRect", after, sizeof after, g_SettingsStore.Path().c_str()));
    EXPECT_EQ(after[0], 30);
    EXPECT_EQ(after[2], 830);
}

// The preview tree as one line: siblings apart by ", ", a node's children in brackets after it.
std::wstring TreeLine(const std::vector<PreviewNode>& nodes)
{
    std::wstring line;
    for (const PreviewNode& node : nodes) {
        line += (line.empty() ? L"" : L", ") + node.text;
        if (!node.children.empty())
            line += L"[" + TreeLine(node.children) + L"]";
    }
    return line;
}

TEST(FormatPreviewTest, EveryLayoutShowsItsSampleFoldersOfTheYear)
{
    const wchar_t* const expected[23] = {
        L"2024, 2025, 2026",
        L"202401, 202402, 202403",
        L"20240101, 20240201, 20240301",
        L"2024-01, 2024-02, 2024-03",
        L"2024-01-01, 2024-02-01, 2024-03-01",
        L"2024_01, 2024_02, 2024_03",
        L"2024_01_01, 2024_02_01, 2024_03_01",
        L"2024[01, 02, 03]",
        L"2024[01[01, 02, 03]]",
        L"2024年, 2025年, 2026年",
        L"2024年01月, 2024年02月, 2024年03月",
        L"2024年01月01日, 2024年01月02日, 2024年01月03日",
        L"2024[01月, 02月, 03月]",
        L"2024[01月[01日, 02日, 03日]]",
        L"24, 25, 26",
        L"2401, 2402, 2403",
        L"240101, 240201, 240301",
        L"24-01, 24-02, 24-03",
        L"24-01-01, 24-02-01, 24-03-01",
        L"24_01, 24_02, 24_03",
        L"24_01_01, 24_02_01, 24_03_01",
        L"24[01, 02, 03]",
        L"24[01[01, 02, 03]]",
    };
    for (int index = 0; index < 23; ++index)
        EXPECT_EQ(TreeLine(FormatPreviewNodes(index, 2024)), expected[index]) << "layout " << index;
    // Outside the table: the default layout's.
    EXPECT_EQ(TreeLine(FormatPreviewNodes(-1, 2024)), expected[3]);
    EXPECT_EQ(TreeLine(FormatPreviewNodes(23, 1999)), L"1999-01, 1999-02, 1999-03");
}

TEST_F(MainWindowTest, PreviewShowsEveryLayoutAndTheAlbumButtonFollowsTheAlbum)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::vector<std::vector<PreviewNode>> shown;
    std::wstring rootText;
    bool enabledWithout = true, enabledWith = false, shot = false;
    Show([&](ScriptedMainWindow& w) {
        w.OutputBox()->SetText(output_ + L"\\");
        for (int index = 0; index < 23; ++index) {
            w.SelectFormat(index);
            HWND tree = w.Preview()->Window();
            auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
            rootText = ItemText(tree, root);
            shown.push_back(Children(tree, root));
        }
        enabledWithout = IsWindowEnabled(w.OpenAlbumButton()->Window());
        MakeFile(output_ + L"\\PhotoAlbum\\index.html");
        w.OutputBox()->SetText(output_);
        enabledWith = IsWindowEnabled(w.OpenAlbumButton()->Window());
        g_pickerAnswers = {root_.File(L"card")};
        w.Command(MainWindow::kAddFolder);
        w.SelectFormat(13);
        shot = SaveScreenshot(w.Window(), L"main_window_nested_layout");
    });
    EXPECT_EQ(rootText, output_);  // without its trailing backslash
    ASSERT_EQ(shown.size(), 23u);
    for (int index = 0; index < 23; ++index)
        EXPECT_EQ(shown[index], FormatPreviewNodes(index, now.wYear)) << "layout " << index;
    const std::wstring year = std::to_wstring(now.wYear);
    ASSERT_EQ(shown[8].size(), 1u);
    EXPECT_EQ(shown[8][0].text, year);
    EXPECT_EQ(shown[8][0].children[0].text, L"01");
    EXPECT_EQ(shown[8][0].children[0].children.size(), 3u);
    EXPECT_EQ(shown[14][0].text, year.substr(2));
    EXPECT_EQ(shown[11][2].text, year + L"年01月03日");
    EXPECT_EQ(shown[2][1].text, year + L"0201");
    // A nested layout's year folder shows its number alone, the months and days below as the
    // run names them.
    ASSERT_EQ(shown[13].size(), 1u);
    EXPECT_EQ(shown[13][0].text, year);
    EXPECT_EQ(shown[13][0].children[0].text, L"01月");
    EXPECT_EQ(shown[13][0].children[0].children[2].text, L"03日");
    EXPECT_FALSE(enabledWithout);
    EXPECT_TRUE(enabledWith);
    EXPECT_EQ(g_SettingsStore.GetInt(L"APP_INFO", L"OutputFormatType", 0), 13);
    EXPECT_EQ(g_SettingsStore.GetString(L"APP_INFO", L"OutputFolder", L""), output_);
    EXPECT_TRUE(shot);
}

std::vector<std::wstring> g_opened;
bool RecordOpen(HWND, const std::wstring& target)
{
    g_opened.push_back(target);
    return true;
}

TEST_F(MainWindowTest, SupportSiteAndAlbumOpenThroughTheShell)
{
    g_opened.clear();
    ActiveUiSeams().shellOpen = &RecordOpen;
    Show([&](ScriptedMainWindow& w) {
        w.Command(MainWindow::kSupportSite);
        w.OutputBox()->SetText(output_);
        w.Click(w.OpenAlbumButton());
    });
    EXPECT_EQ(g_opened, (std::vector<std::wstring>{kSupportSiteAddress,
                                                   output_ + L"\\PhotoAlbum\\index.html"}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, RunButtonOrganizesThroughTheProgressDialog)
{
    Photo(L"card1\\IMG_0001.JPG", "2024:05:01 09:03:07", '1');
    Photo(L"card2\\IMG_0002.JPG", "2024:06:02 10:00:00", '2');
    std::vector<std::wstring> refusals;
    Show([&](ScriptedMainWindow& w) {
        w.Click(w.RunButton());  // nothing chosen yet
        refusals.push_back(boxes.empty() ? L"" : boxes.back().text);
        g_pickerAnswers = {root_.File(L"card1"), root_.File(L"card2"), output_};
        w.Command(MainWindow::kAddFolder);
        w.Command(MainWindow::kAddFolder);
        w.Click(w.RunButton());  // still no output folder
        refusals.push_back(boxes.back().text);
        w.Command(MainWindow::kBrowseOutput);
        w.SelectFormat(7);
        w.Click(w.RunButton());
    });
    EXPECT_EQ(refusals, (std::vector<std::wstring>{L"入力フォルダを指定してください。", L"出力先フォルダを指定してください。"}));
    EXPECT_TRUE(FileExists(output_ + L"\\2024\\05\\IMG_0001.JPG"));
    EXPECT_TRUE(FileExists(output_ + L"\\2024\\06\\IMG_0002.JPG"));
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, L"写真の整理が完了しました。");
}

}  // namespace
