// The settings sheet as a user works it: real pages on the virtual display, clicked and typed
// into from a timer while the sheet's modal loop runs; the settings file read back after OK,
// Apply and Cancel.

#include "app/settings_sheet.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/add_extension_dialog.h"
#include "app/extensions_page.h"
#include "app/registry_file_type.h"
#include "base/handles.h"
#include "base/settings_store.h"
#include "base/text_encoding.h"
#include "base/version.h"
#include "organize/organize_run.h"
#include "organize/organize_settings.h"
#include "tests/app/scripted_main_window.h"
#include "tests/support/layout_check.h"
#include "tests/support/modal_script.h"
#include "tests/support/screenshot.h"
#include "tests/support/test_window.h"
#include "ui/controls.h"
#include "ui/prop_sheet_builder.h"

namespace {

enum PageIndex { kKindsPage, kPhotoPage, kMoviePage, kSoundPage, kVersionPage };

HWND ShowPage(HWND sheet, int index)
{
    PropSheet_SetCurSel(sheet, nullptr, index);
    return PropSheet_GetCurrentPageHwnd(sheet);
}

HWND ListOf(HWND page)
{
    return FindWindowExW(page, nullptr, WC_LISTVIEWW, nullptr);
}

int RowOf(HWND list, const std::wstring& extension)
{
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = extension.c_str();
    return static_cast<int>(SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

std::vector<std::wstring> Rows(HWND list, int column = 0)
{
    std::vector<std::wstring> rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        rows.push_back(ListCellText(list, row, column));
    return rows;
}

void SetChecked(HWND list, int row, bool checked)
{
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void Select(HWND list, int row)
{
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Puts the text into an edit field as pasting it would, so that the field tells its dialog.
void Paste(HWND field, const std::wstring& text)
{
    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// A step that waits for a window of this thread to be up.
ModalScript::Step WaitFor(const std::wstring& title, HWND* found)
{
    return [title, found] { return (*found = FindThreadWindow(title)) != nullptr; };
}

class SettingsSheetTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        g_OrganizeSettings.Load();
    }
    std::wstring Section(const wchar_t* section) const
    {
        std::wstring all;
        for (int i = 0; i < g_SettingsStore.GetInt(section, L"count", 0); ++i)
            all += g_SettingsStore.GetString(section, SettingsStore::MakeItemKey(L"item", i).c_str(), L"") + L";";
        return all;
    }
    TestWindow owner_{80, 60, 700, 560, L"Kasumiro"};
    HWND sheet_ = nullptr;
};

TEST_F(SettingsSheetTest, UncheckingAnExtensionAndOkSkipsItsFilesAndCancelKeepsEverything)
{
    // Cancel first: nothing written, nothing changed.
    const Bytes before = ReadBytes(g_SettingsStore.Path());
    {
        ModalScript script({WaitFor(L"アプリ設定", &sheet_), [&] {
                                const HWND list = ListOf(ShowPage(sheet_, kPhotoPage));
                                SetChecked(list, RowOf(list, L".cr2"), false);
                                return PropSheet_PressButton(sheet_, PSBTN_CANCEL), true;
                            }});
        EXPECT_EQ(ShowSettingsSheet(owner_.get()), 0);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(ReadBytes(g_SettingsStore.Path()), before);
    ExtensionEntry cr2;
    ASSERT_TRUE(g_OrganizeSettings.PhotoList.Find(L".cr2", &cr2));
    EXPECT_EQ(cr2.enabled, 1);

    // Then OK: the photo list is written with .cr2 switched off, and a run leaves .CR2 files.
    {
        ModalScript script({WaitFor(L"アプリ設定", &sheet_), [&] {
                                const HWND list = ListOf(ShowPage(sheet_, kPhotoPage));
                                SetChecked(list, RowOf(list, L".cr2"), false);
                                return PropSheet_PressButton(sheet_, PSBTN_OK), true;
                            }});
        EXPECT_EQ(ShowSettingsSheet(owner_.get()), 1);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_NE(Section(L"COMPARE_EXT_INFO_PIC").find(L"0|.cr2;"), std::wstring::npos) << Section(L"COMPARE_EXT_INFO_PIC");
    EXPECT_NE(Section(L"COMPARE_EXT_INFO_PIC").find(L"1|.jpg;"), std::wstring::npos);
    ASSERT_TRUE(g_OrganizeSettings.PhotoList.Find(L".cr2", &cr2));
    EXPECT_EQ(cr2.enabled, 0);

    OrganizeSettings reloaded;
    reloaded.Load();
    Photo(L"card\\IMG_0001.JPG", "2024:05:01 09:03:07", 'j');
    MakeFile(root_.File(L"card\\IMG_0002.CR2"));
    RecordingProgress progress;
    const OrganizeResult result = RunOrganize(reloaded, progress, {root_.File(L"card")}, output_);
    EXPECT_EQ(result.counts.inputFiles, 1);
    EXPECT_EQ(result.counts.copied, 1);
}

TEST_F(SettingsSheetTest, AddingTakesOnlyWhatCanBeAnExtension)
{
    HWND dialog = nullptr, page = nullptr;
    std::vector<std::wstring> afterAdd, afterRepeat, addedTypes;
    std::vector<std::pair<std::wstring, bool>> refused;  // text, whether the set button allowed it
    std::vector<bool> accepted;                          // the set button for the texts that are set
    bool emptyAllowed = true, enterOnEmptyClosed = true, hintShown = false, shot = false;
    std::vector<std::string> faults;
    const auto openAdd = [&] {
        PostMessageW(page, WM_COMMAND, MAKEWPARAM(ExtensionsPage::kAddExtension, 0), 0);
        return true;
    };
    const auto typeAndSet = [&](const std::wstring& text) {
        return [&, text] {
            Paste(GetDlgItem(dialog, AddExtensionDialog::kField), text);
            accepted.push_back(IsWindowEnabled(GetDlgItem(dialog, AddExtensionDialog::kSet)) != FALSE);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(AddExtensionDialog::kSet, BN_CLICKED), 0);
            return true;
        };
    };
    const auto waitClosed = [&] { return !FindThreadWindow(L"拡張子の追加"); };
    ModalScript script({
        WaitFor(L"アプリ設定", &sheet_),
        [&] {
            page = ShowPage(sheet_, kMoviePage);
            return true;
        },
        openAdd,
        WaitFor(L"拡張子の追加", &dialog),
        [&] {
            // Empty: the set button is off, and Enter does nothing.
            const HWND field = GetDlgItem(dialog, AddExtensionDialog::kField);
            emptyAllowed = IsWindowEnabled(GetDlgItem(dialog, AddExtensionDialog::kSet)) != FALSE;
            SendMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
            enterOnEmptyClosed = !IsWindow(dialog);
            for (const std::wstring text : {L"a=b", L"a;b", L"a\\b", L"a/b", L"a:b", L"a*", L"a?", L"a\"b", L"a<b",
                                            L"a>b", L"a|b", L"a b", L"a\r\nb", L".", L"..", L".tar.gz",
                                            L"abcdefghijklmnopqrstuvwxyz123456"}) {
                Paste(field, text);
                refused.emplace_back(text, IsWindowEnabled(GetDlgItem(dialog, AddExtensionDialog::kSet)) != FALSE);
                hintShown = IsWindowVisible(GetDlgItem(dialog, AddExtensionDialog::kHint)) != FALSE;
            }
            Paste(field, L"a:b");
            shot = SaveScreenshot(dialog, L"settings_add_dialog_refused");
            faults = LayoutFaults(dialog);
            for (const std::string& fault : KeyboardFaults(dialog))
                faults.push_back(fault);
            return true;
        },
        typeAndSet(L"xyz"),
        waitClosed,
        [&] {
            afterAdd = Rows(ListOf(page));
            addedTypes = Rows(ListOf(page), 1);
            return true;
        },
        openAdd,
        WaitFor(L"拡張子の追加", &dialog),
        typeAndSet(L".MOV"),
        waitClosed,
        openAdd,
        WaitFor(L"拡張子の追加", &dialog),
        [&] {
            // Esc cancels, as 「キャンセル」 does: what was typed is not set.
            const HWND field = GetDlgItem(dialog, AddExtensionDialog::kField);
            Paste(field, L"abc");
            PostMessageW(field, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageW(field, WM_KEYUP, VK_ESCAPE, 0xC0000000);
            return true;
        },
        waitClosed,
        [&] {
            afterRepeat = Rows(ListOf(page));
            PropSheet_PressButton(sheet_, PSBTN_OK);
            return true;
        },
    });
    EXPECT_EQ(ShowSettingsSheet(owner_.get()), 1);
    ASSERT_TRUE(script.Finished());

    EXPECT_FALSE(emptyAllowed);
    EXPECT_FALSE(enterOnEmptyClosed);
    for (const auto& [text, allowed] : refused)
        EXPECT_FALSE(allowed) << "accepted as an extension: " << std::string(text.begin(), text.end());
    EXPECT_TRUE(hintShown);
    EXPECT_TRUE(shot);
    EXPECT_TRUE(faults.empty()) << Joined(faults);
    EXPECT_EQ(accepted, (std::vector<bool>{true, true}));
    // .xyz sorted into place, after .xvid, the last of the built-in list.
    const auto xyz = std::find(afterAdd.begin(), afterAdd.end(), L".xyz");
    ASSERT_NE(xyz, afterAdd.end());
    EXPECT_EQ(*(xyz - 1), L".xvid");
    EXPECT_EQ(xyz + 1, afterAdd.end());
    EXPECT_EQ(afterRepeat, afterAdd);  // .MOV is .mov, listed already, and .abc was cancelled
    ASSERT_EQ(addedTypes.size(), afterAdd.size());
    EXPECT_EQ(addedTypes[static_cast<std::size_t>(xyz - afterAdd.begin())], L"★ユーザー追加拡張子");
    ExtensionEntry added;
    ASSERT_TRUE(g_OrganizeSettings.MovieList.Find(L".xyz", &added));
    EXPECT_EQ(added.builtIn, 0);
    EXPECT_NE(Section(L"COMPARE_EXT_INFO").find(L"1|.xyz;"), std::wstring::npos);
}

TEST_F(SettingsSheetTest, OnlyAUsersOwnExtensionCanBeDeleted)
{
    EXPECT_TRUE(g_SettingsStore.SetInt(L"COMPARE_EXT_INFO_SND", L"count", 1));
    EXPECT_TRUE(g_SettingsStore.SetString(L"COMPARE_EXT_INFO_SND", L"item0", L"1|.amr"));
    g_OrganizeSettings.Load();
    ExtensionsPage sounds(&g_OrganizeSettings.SoundList, L"比較の対象とする拡張子");
    PropSheetBuilder builder;
    builder.AddPage(&sounds, L"音声拡張子");
    HWND menuWindow = nullptr;
    NMHDR click{};  // posted to the page: it must outlive the step that posts it
    UINT builtInState = 0, ownState = 0;
    bool menuShot = false;
    std::vector<std::wstring> afterBuiltIn, afterOwn;
    ModalScript script({
        WaitFor(L"アプリ設定", &sheet_),
        [&] {
            const HWND list = sounds.List()->Window();
            const auto stateOf = [&] {
                PopupMenu menu;
                sounds.BuildMenu(menu);
                return GetMenuState(menu.Handle(), ExtensionsPage::kDeleteExtension, MF_BYCOMMAND);
            };
            Select(list, RowOf(list, L".mp3"));
            builtInState = stateOf();
            PostMessageW(sounds.Window(), WM_COMMAND, ExtensionsPage::kDeleteExtension, 0);
            return true;
        },
        [&] {
            afterBuiltIn = Rows(sounds.List()->Window());
            const HWND list = sounds.List()->Window();
            Select(list, RowOf(list, L".amr"));
            PopupMenu menu;
            sounds.BuildMenu(menu);
            ownState = GetMenuState(menu.Handle(), ExtensionsPage::kDeleteExtension, MF_BYCOMMAND);
            // The real menu, as a right click shows it, for a look.
            click = NMHDR{list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), static_cast<UINT>(NM_RCLICK)};
            PostMessageW(sounds.Window(), WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
            return true;
        },
        [&] {
            menuWindow = FindWindowW(L"#32768", nullptr);
            if (!menuWindow || !IsWindowVisible(menuWindow))
                return false;
            Sleep(200);
            menuShot = SaveScreenshot(menuWindow, L"settings_extension_menu");
            EndMenu();
            return true;
        },
        [&] {
            PostMessageW(sounds.Window(), WM_COMMAND, ExtensionsPage::kDeleteExtension, 0);
            return true;
        },
        [&] {
            afterOwn = Rows(sounds.List()->Window());
            PropSheet_PressButton(sheet_, PSBTN_OK);
            return true;
        },
    });
    EXPECT_EQ(builder.Run(owner_.get(), L"アプリ設定"), 1);
    ASSERT_TRUE(script.Finished());
    EXPECT_TRUE(builtInState & MF_GRAYED);
    EXPECT_FALSE(ownState & MF_GRAYED);
    EXPECT_TRUE(menuShot);
    EXPECT_EQ(afterBuiltIn, (std::vector<std::wstring>{L".aac", L".amr", L".m4a", L".mp3", L".wav"}));  // a built-in one stays
    EXPECT_EQ(afterOwn, (std::vector<std::wstring>{L".aac", L".m4a", L".mp3", L".wav"}));
    EXPECT_FALSE(g_OrganizeSettings.SoundList.Find(L".amr"));
    EXPECT_EQ(g_SettingsStore.GetInt(L"COMPARE_EXT_INFO_SND", L"count", 0), 4);
}

std::vector<std::wstring> g_opened;
bool RecordOpen(HWND, const std::wstring& target)
{
    g_opened.push_back(target);
    return true;
}

// Both date switches of the first page: on at first, each written under its own key on Apply.
TEST_F(SettingsSheetTest, TheDateSwitchesAreOnAtFirstAndWrittenOnApply)
{
    const wchar_t* labels[2] = {L"動画は動画ファイルに記録された撮影日時で整理する",
                                L"撮影日時のないファイルは、ファイル名などの日付で整理する"};
    bool checkedAtFirst[2] = {};
    int storedAfterApply[2] = {-1, -1};
    ModalScript script({WaitFor(L"アプリ設定", &sheet_), [&] {
                            const HWND page = ShowPage(sheet_, kKindsPage);
                            for (int i = 0; i < 2; ++i) {
                                const HWND box = FindWindowExW(page, nullptr, L"Button", labels[i]);
                                checkedAtFirst[i] = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
                                SendMessageW(box, BM_CLICK, 0, 0);
                            }
                            PropSheet_PressButton(sheet_, PSBTN_APPLYNOW);
                            return true;
                        },
                        [&] {
                            storedAfterApply[0] = g_SettingsStore.GetInt(L"APP_INFO", L"MovieDateFromFile", -1);
                            storedAfterApply[1] = g_SettingsStore.GetInt(L"APP_INFO", L"DateFromFileName", -1);
                            return PropSheet_PressButton(sheet_, PSBTN_OK), true;
                        }});
    ShowSettingsSheet(owner_.get());
    ASSERT_TRUE(script.Finished());
    EXPECT_TRUE(checkedAtFirst[0]);
    EXPECT_TRUE(checkedAtFirst[1]);
    EXPECT_EQ(storedAfterApply[0], 0);
    EXPECT_EQ(storedAfterApply[1], 0);
    EXPECT_FALSE(g_OrganizeSettings.DateRules().movieDateFromFile);
    EXPECT_FALSE(g_OrganizeSettings.DateRules().dateFromName);
}

// A settings file that takes no writes: each write says it did not hold, the choices made on OK
// are said in the log by section, no message box comes, and the file stays as it was. Here
// another program holds the file and lets no one in; a read-only file or data folder refuses
// the same way on a user's machine, but not under the compatibility layer the tests run on as
// root.
TEST_F(SettingsSheetTest, ChoicesTheSettingsFileWillNotTakeAreSaidInTheLog)
{
    const std::wstring ini = g_SettingsStore.Path();
    const Bytes before = ReadBytes(ini);
    UniqueFile held(CreateFileW(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_FALSE(g_SettingsStore.SetInt(kAppSettingsSection, L"rand_seed", 7));
    ModalScript script({WaitFor(L"アプリ設定", &sheet_), [&] {
                            const HWND page = ShowPage(sheet_, kKindsPage);
                            SendMessageW(FindWindowExW(page, nullptr, L"Button", L"動画は動画ファイルに記録された撮影日時で整理する"),
                                         BM_CLICK, 0, 0);
                            return PropSheet_PressButton(sheet_, PSBTN_OK), true;
                        }});
    EXPECT_EQ(ShowSettingsSheet(owner_.get()), 1);
    EXPECT_TRUE(script.Finished());
    held.reset();
    EXPECT_EQ(ReadBytes(ini), before);
    const std::wstring log = Log();
    for (const wchar_t* section : {L"APP_INFO", L"COMPARE_EXT_INFO_PIC", L"COMPARE_EXT_INFO"}) {
        EXPECT_NE(log.find(std::wstring(L" : 設定を保存できません = [") + section + L"] " + ini + L"\r\n"), std::wstring::npos)
            << section << "\n" << testing::PrintToString(log);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SettingsSheetTest, TheNoticeSwitchIsWrittenOnApplyAndTheVersionPageLeadsToTheSite)
{
    EXPECT_TRUE(g_SettingsStore.SetInt(L"VERSION", L"notify", 0));
    g_opened.clear();
    ActiveUiSeams().shellOpen = &RecordOpen;
    int notifyAfterApply = -1;
    std::wstring pageText;
    ModalScript script({
        WaitFor(L"バージョン情報", &sheet_),
        [&] {
            const HWND page = PropSheet_GetCurrentPageHwnd(sheet_);
            wchar_t text[64] = {};
            GetWindowTextW(page, text, 64);
            pageText = text;
            const HWND box = FindWindowExW(page, nullptr, L"Button", L"バージョンアップの通知をしない");
            SendMessageW(box, BM_CLICK, 0, 0);
            SendMessageW(FindWindowExW(page, nullptr, L"Button", L"　　サポートサイトへ　　"), BM_CLICK, 0, 0);
            PropSheet_PressButton(sheet_, PSBTN_APPLYNOW);
            return true;
        },
        [&] {
            notifyAfterApply = g_SettingsStore.GetInt(L"VERSION", L"notify", -1);
            PropSheet_PressButton(sheet_, PSBTN_CANCEL);
            return true;
        },
    });
    ShowVersionSheet(owner_.get());
    ASSERT_TRUE(script.Finished());
    EXPECT_EQ(pageText, L"バージョン表示");
    EXPECT_EQ(notifyAfterApply, 1);  // at once, before the sheet closed
    EXPECT_EQ(g_SettingsStore.GetInt(L"VERSION", L"notify", -1), 1);
    EXPECT_EQ(g_opened, (std::vector<std::wstring>{kSupportSiteAddress}));
}

TEST_F(SettingsSheetTest, EveryPageIsWholeAndTheMainWindowOpensBothSheets)
{
    std::vector<std::string> faults;
    bool shots = true;
    const wchar_t* names[] = {L"settings_kinds_page", L"settings_photo_page", L"settings_movie_page",
                              L"settings_sound_page", L"settings_version_page"};
    std::vector<ModalScript::Step> steps{WaitFor(L"アプリ設定", &sheet_)};
    for (int index = kKindsPage; index <= kVersionPage; ++index) {
        steps.push_back([&, index] {
            const HWND page = ShowPage(sheet_, index);
            Sleep(100);
            for (const std::string& fault : LayoutFaults(page))
                faults.push_back(std::string("page ") + std::to_string(index) + ": " + fault);
            for (const std::string& fault : KeyboardFaults(page))
                faults.push_back(std::string("page ") + std::to_string(index) + ": " + fault);
            shots &= SaveScreenshot(sheet_, names[index]);
            return true;
        });
    }
    steps.push_back([&] { return PropSheet_PressButton(sheet_, PSBTN_CANCEL), true; });
    steps.push_back(WaitFor(L"バージョン情報", &sheet_));
    steps.push_back([&] { return PropSheet_PressButton(sheet_, PSBTN_CANCEL), true; });
    const ModalScript script(std::move(steps));
    Show([&](ScriptedMainWindow& w) {
        w.Command(MainWindow::kSettingsSheet);
        w.Command(MainWindow::kVersionPage);
    });
    ASSERT_TRUE(script.Finished());
    EXPECT_TRUE(shots);
    EXPECT_TRUE(faults.empty()) << Joined(faults);
}

// What a window shows in words: its own title, its controls' captions, and the column heads of
// its lists and the tabs of its tab controls.
std::vector<std::wstring> ShownTexts(HWND window)
{
    std::vector<std::wstring> texts;
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    texts.push_back(text);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        GetWindowTextW(child, text, 512);
        texts.push_back(text);
        wchar_t kind[64] = {};
        GetClassNameW(child, kind, 64);
        if (_wcsicmp(kind, WC_LISTVIEWW) == 0) {
            const HWND header = ListView_GetHeader(child);
            for (int i = 0; i < Header_GetItemCount(header); ++i) {
                HDITEMW item{};
                item.mask = HDI_TEXT;
                item.pszText = text;
                item.cchTextMax = 512;
                text[0] = 0;
                Header_GetItem(header, i, &item);
                texts.push_back(text);
            }
        } else if (_wcsicmp(kind, WC_TABCONTROLW) == 0) {
            for (int i = 0; i < TabCtrl_GetItemCount(child); ++i) {
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = text;
                item.cchTextMax = 512;
                text[0] = 0;
                TabCtrl_GetItem(child, i, &item);
                texts.push_back(text);
            }
        }
    }
    return texts;
}

// Every item of a menu and of its submenus, in order.
void AddMenuTexts(HMENU menu, std::vector<std::wstring>* texts)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        if (GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION) > 0)
            texts->push_back(text);
        if (const HMENU sub = GetSubMenu(menu, i))
            AddMenuTexts(sub, texts);
    }
}

// Every word the main window, its menu, the settings sheet's pages and menu and the add
// dialog show, read from the live windows, against its literal: these are what users see and
// what the guide's pictures show, and no other test reads most of them.
TEST_F(SettingsSheetTest, EveryWindowShowsItsOwnWords)
{
    const std::wstring version = std::wstring(L"Version : ") + kProductVersion;
    const struct {
        const char* where;
        std::wstring text;
    } expected[] = {
        {"main window", L"Kasumiro"},
        {"main window", L"入力フォルダ（整理したい写真ファイルのあるフォルダ）"},
        {"main window", L"整理したい写真ファイルのあるフォルダ"},
        {"main window", L"　追加　"},
        {"main window", L"　編集　"},
        {"main window", L"　削除　"},
        {"main window", L"出力先フォルダ（整理されたファイルを出力するフォルダ）"},
        {"main window", L"ＵＳＢメモリや、カメラをＵＳＢに接続すると自動的に入力フォルダに追加されます。"},
        {"main window", L"　参照　"},
        {"main window", L"整理するフォルダの形式"},
        {"main window", L"写真一覧HTMLを生成する"},
        {"main window", L"プレビューできないファイルも写真一覧HTMLに含める"},
        {"main window", L"写真一覧HTMLを開く"},
        {"main window", L"写真整理の実行"},
        {"main menu", L"ファイル(&F)"},
        {"main menu", L"写真フォルダの追加(&A)..."},
        {"main menu", L"出力フォルダの設定(&O)..."},
        {"main menu", L"編集(&R)"},
        {"main menu", L"入力フォルダの削除"},
        {"main menu", L"設定(&S)"},
        {"main menu", L"アプリ設定(&A)"},
        {"main menu", L"ヘルプ(&H)"},
        {"main menu", L"サポートサイト"},
        {"main menu", L"バージョン情報(&A)..."},
        {"sheet", L"アプリ設定"},
        {"sheet", L"写真拡張子"},
        {"sheet", L"動画拡張子"},
        {"sheet", L"音声拡張子"},
        {"sheet", L"バージョン情報"},
        {"kinds page", L"整理するファイル"},
        {"kinds page", L"写真を整理する"},
        {"kinds page", L"動画を整理する"},
        {"kinds page", L"音声を整理する"},
        {"kinds page", L"知らない拡張子のファイルも整理する"},
        {"kinds page", L"撮影日時"},
        {"kinds page", L"動画は動画ファイルに記録された撮影日時で整理する"},
        {"kinds page", L"撮影日時のないファイルは、ファイル名などの日付で整理する"},
        {"photo page", L"比較の対象とする拡張子"},
        {"photo page", L"拡張子"},
        {"photo page", L"Content Type"},
        {"movie page", L"比較の対象とする拡張子"},
        {"sound page", L"比較の対象とする拡張子"},
        {"extension menu", L"拡張子を追加する"},
        {"extension menu", L"拡張子を削除する"},
        {"version page", L"バージョン情報"},
        {"version page", version},
        {"version page", L"サポートサイトへ"},
        {"version page", L"　　サポートサイトへ　　"},
        {"version page", L"バージョンアップの通知"},
        {"version page", L"バージョンアップの通知をしない"},
        {"add dialog", L"拡張子の追加"},
        {"add dialog", L"拡張子を入力してください。"},
        {"add dialog", L"= ; \\ / : * ? \" < > | 、空白、2つ目の「.」は使えません（31文字まで）。"},
        {"add dialog", L"　　設定　　"},
        {"add dialog", L"　キャンセル　"},
    };

    std::map<std::string, std::vector<std::wstring>> shown;
    HWND page = nullptr, dialog = nullptr;
    NMHDR click{};  // posted to the page: it must outlive the step that posts it
    const char* pages[] = {"kinds page", "photo page", "movie page", "sound page", "version page"};
    const ModalScript script({
        WaitFor(L"アプリ設定", &sheet_),
        [&] {
            shown["sheet"] = ShownTexts(sheet_);
            for (int index = kKindsPage; index <= kVersionPage; ++index)
                shown[pages[index]] = ShownTexts(ShowPage(sheet_, index));
            page = ShowPage(sheet_, kMoviePage);
            const HWND list = ListOf(page);
            click = NMHDR{list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), static_cast<UINT>(NM_RCLICK)};
            PostMessageW(page, WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
            return true;
        },
        [&] {
            const HWND menuWindow = FindWindowW(L"#32768", nullptr);
            if (!menuWindow || !IsWindowVisible(menuWindow))
                return false;
            AddMenuTexts(reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0)), &shown["extension menu"]);
            EndMenu();
            return true;
        },
        [&] {
            PostMessageW(page, WM_COMMAND, MAKEWPARAM(ExtensionsPage::kAddExtension, 0), 0);
            return true;
        },
        WaitFor(L"拡張子の追加", &dialog),
        [&] {
            shown["add dialog"] = ShownTexts(dialog);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        },
        [&] { return !FindThreadWindow(L"拡張子の追加"); },
        [&] { return PropSheet_PressButton(sheet_, PSBTN_CANCEL), true; },
    });
    Show([&](ScriptedMainWindow& w) {
        shown["main window"] = ShownTexts(w.Window());
        AddMenuTexts(GetMenu(w.Window()), &shown["main menu"]);
        w.Command(MainWindow::kSettingsSheet);
    });
    ASSERT_TRUE(script.Finished());
    for (const auto& [where, text] : expected) {
        const std::vector<std::wstring>& texts = shown[where];
        std::string all;
        for (const std::wstring& one : texts)
            all += "\n  \"" + ToUtf8(one) + "\"";
        EXPECT_TRUE(std::find(texts.begin(), texts.end(), text) != texts.end())
            << where << " shows no \"" << ToUtf8(text) << "\", only:" << all;
    }
}

TEST(RegisteredContentTypeTest, ReadsTheExtensionKey)
{
    // The test prefix's own classes: nobody else's registry is touched.
    const wchar_t* key = L".kasumirotest";
    UniqueRegistryKey created;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_WRITE, nullptr, created.put(), nullptr),
              ERROR_SUCCESS);
    const std::wstring type = L"image/x-kasumiro";
    RegSetValueExW(created.get(), L"Content Type", 0, REG_SZ, reinterpret_cast<const BYTE*>(type.c_str()),
                   static_cast<DWORD>((type.size() + 1) * 2));
    created.reset();
    EXPECT_EQ(RegisteredContentType(L".kasumirotest"), type);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, key);
    EXPECT_EQ(RegisteredContentType(L".kasumiro-missing"), L"");
}

}  // namespace
