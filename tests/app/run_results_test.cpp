// The window of a run's results as a user reaches it: a real run over a temporary folder, the
// real completion notice on the virtual display and its button 「詳細を表示」, then the
// window's counts, its list sorted by a click on a header, narrowed by typing, copied to the
// clipboard, and the selected file's folder opened with Enter.

#include "app/run_results_window.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/execute_organize.h"
#include "app/run_notices.h"
#include "app/run_summary.h"
#include "base/handles.h"
#include "organize/organize_run.h"
#include "tests/organize/organize_fixture.h"
#include "tests/support/layout_check.h"
#include "tests/support/modal_script.h"
#include "tests/support/screenshot.h"
#include "tests/support/test_window.h"
#include "ui/controls.h"
#include "ui/dpi_scaling.h"

namespace {

std::vector<std::wstring> g_shownInFolder;
bool RecordShownInFolder(HWND, const std::wstring& path)
{
    g_shownInFolder.push_back(path);
    return true;
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"(the clipboard could not be opened)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = locked;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

HWND ChildWithText(HWND parent, const std::wstring& text)
{
    struct Search {
        const std::wstring* text;
        HWND found;
    } search{&text, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t own[128] = {};
            GetWindowTextW(child, own, 128);
            if (*s->text != own)
                return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Every row the list shows, its cells joined by " | ".
std::vector<std::wstring> Rows(const ListView* list)
{
    std::vector<std::wstring> rows;
    for (int row = 0; row < list->RowCount(); ++row) {
        std::wstring line;
        for (int column = 0; column < NotCopiedRows::kColumnCount; ++column)
            line += (column ? L" | " : L"") + ListCellText(list->Window(), row, column);
        rows.push_back(line);
    }
    return rows;
}

// A click on a column's header, as the mouse makes it.
void ClickHeader(const ListView* list, int column)
{
    const HWND header = ListView_GetHeader(list->Window());
    RECT cell{};
    Header_GetItemRect(header, column, &cell);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header, WM_LBUTTONUP, 0, at);
}

// Types into the search field as pasting would, so that the field tells its window.
void Type(const EditBox* field, const std::wstring& text)
{
    SendMessageW(field->Window(), EM_SETSEL, 0, -1);
    SendMessageW(field->Window(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// Selects the row alone; -1 selects none.
void Select(const ListView* list, int row)
{
    ListView_SetItemState(list->Window(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0)
        ListView_SetItemState(list->Window(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

std::vector<std::wstring> Texts(const std::vector<Control*>& controls)
{
    std::vector<std::wstring> texts;
    for (const Control* control : controls)
        texts.push_back(control->GetText());
    return texts;
}

LONG FontHeight(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return std::abs(font.lfHeight);
}

// The window of results behind the notice as a test reaches it: the window's object, found
// by its handle while its modal loop runs.
RunResultsWindow* ResultsWindowOf(HWND window)
{
    return reinterpret_cast<RunResultsWindow*>(GetWindowLongPtrW(window, DWLP_USER));
}

class RunResultsTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        g_shownInFolder.clear();
        ActiveUiSeams().showInFolder = &RecordShownInFolder;
    }
    TestWindow mainWindow_{60, 60, 640, 640, L"Kasumiro"};
};

TEST_F(RunResultsTest, TheNoticesButtonShowsEveryFileNotCopiedSortedFoundCopiedAndOpened)
{
    // An earlier run left a copy of IMG_0001's bytes; this run finds them there, copies a
    // dated photo and one dated by its last write, and cannot read a photo another program holds.
    Photo(L"earlier\\IMG_0001.JPG", "2024:05:01 09:03:07", '1');
    RecordingProgress progress;
    ASSERT_FALSE(RunOrganize(g_OrganizeSettings, progress, {root_.File(L"earlier")}, output_).Failed());
    const std::wstring twin = output_ + L"\\2024\\05\\01\\IMG_0001.JPG";
    ASSERT_TRUE(FileExists(twin));
    const std::wstring again = Photo(L"in\\IMG_0001.JPG", "2024:05:01 09:03:07", '1');
    Photo(L"in\\IMG_0002.JPG", "2024:05:02 10:00:00", '2');
    MakeFile(root_.File(L"in\\IMG_0003.JPG"), Bytes(64, 'n'));
    const std::wstring held = Photo(L"in\\IMG_0004.JPG", "2024:05:04 10:00:00", '4');
    UniqueFile hold(CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);

    // The notice is the system's own, clicked as a user would.
    ActiveUiSeams().noticeWithButton = RealUiSeams().noticeWithButton;
    HWND notice = nullptr;
    std::wstring noticeText;
    bool noticeShot = false;
    std::vector<std::wstring> counts, names, runOrder, ascending, descending, byName, byReason, byTwin;
    std::vector<std::string> layout, keyboard, grown;
    std::wstring caption, allCopied, oneCopied;
    LONG fontBefore = 0, fontGrown = 0;
    bool resultsShot = false, openEnabledWithoutSelection = true, searchByMnemonic = false;
    HWND results = nullptr;
    RunResultsWindow* window = nullptr;
    ModalScript script({
        [&] { return (notice = FindThreadWindow(kNoticeCaption)) != nullptr; },
        [&] {
            noticeText = ChildWithText(notice, L"詳細を表示(&D)") ? L"has the button" : L"has no button";
            noticeShot = SaveScreenshot(notice, L"run_notice_with_results_button");
            if (HWND button = ChildWithText(notice, L"詳細を表示(&D)"))
                PostMessageW(button, BM_CLICK, 0, 0);
            return true;
        },
        [&] { return (results = FindThreadWindow(kRunResultsCaption)) != nullptr; },
        [&] {
            window = ResultsWindowOf(results);
            wchar_t text[64] = {};
            GetWindowTextW(results, text, 64);
            caption = text;
            counts = Texts(window->CountLabels());
            runOrder = Rows(window->List());
            layout = LayoutFaults(results);
            keyboard = KeyboardFaults(results);
            names = FieldNames(results);
            resultsShot = SaveScreenshot(results, L"run_results_window");

            ClickHeader(window->List(), NotCopiedRows::kFileColumn);
            ascending = Rows(window->List());
            ClickHeader(window->List(), NotCopiedRows::kFileColumn);
            descending = Rows(window->List());

            // Lower case finds the upper; each column is searched.
            Type(window->SearchBox(), L"jpg");
            ClickHeader(window->List(), NotCopiedRows::kFileColumn);
            byName = Rows(window->List());
            SendMessageW(window->CopyButton()->Window(), BM_CLICK, 0, 0);
            allCopied = ClipboardText();
            // Typed on from "jpg": the rows shown narrow.
            Type(window->SearchBox(), L"_0004.jpg");
            SendMessageW(window->CopyButton()->Window(), BM_CLICK, 0, 0);
            oneCopied = ClipboardText();
            Type(window->SearchBox(), L"読み込め");
            byReason = Rows(window->List());
            Type(window->SearchBox(), L"05\\01");
            byTwin = Rows(window->List());
            Type(window->SearchBox(), L"");
            Select(window->List(), -1);
            openEnabledWithoutSelection = IsWindowEnabled(window->OpenFolderButton()->Window()) != FALSE;

            // Moved to a monitor of one and a half times the DPI, as Windows tells it.
            const UINT dpi = WindowDpi(results);
            RECT before{};
            GetWindowRect(results, &before);
            RECT suggested{before.left, before.top, before.left + (before.right - before.left) * 3 / 2,
                           before.top + (before.bottom - before.top) * 3 / 2};
            fontBefore = FontHeight(window->List()->Window());
            SendMessageW(results, WM_DPICHANGED, MAKEWPARAM(dpi * 3 / 2, dpi * 3 / 2), reinterpret_cast<LPARAM>(&suggested));
            fontGrown = FontHeight(window->List()->Window());
            grown = LayoutFaults(results);
            SendMessageW(results, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&before));

            // Enter on the list opens the folder of the file selected (IMG_0004, last in the
            // order of names); Alt+S goes to the search field, and Esc closes the window.
            SetFocus(window->List()->Window());
            Select(window->List(), 1);
            PostMessageW(window->List()->Window(), WM_KEYDOWN, VK_RETURN, 0);
            return true;
        },
        [&] {
            if (g_shownInFolder.empty())
                return false;
            // Alt+S: the search field's mnemonic.
            PostMessageW(window->List()->Window(), WM_SYSCHAR, L's', 1 << 29);
            return true;
        },
        [&] {
            searchByMnemonic = GetFocus() == window->SearchBox()->Window();
            PostMessageW(window->SearchBox()->Window(), WM_KEYDOWN, VK_ESCAPE, 0);
            return true;
        },
    });
    RunChoices choices;
    choices.inputFolders = {root_.File(L"in")};
    choices.outputText = output_;
    choices.outputFormat = 8;
    ExecuteOrganize(mainWindow_.get(), choices, nullptr);
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(IsWindow(results));

    EXPECT_EQ(noticeText, L"has the button");
    EXPECT_TRUE(noticeShot);
    // The question before adding to the folder came as ever; the notice went to the system.
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(caption, L"整理の結果");
    EXPECT_EQ(counts, (std::vector<std::wstring>{L"コピーしたファイルの数 = 2", L"重複ファイルの数 = 1",
                                                 L"整理できなかったフォルダまたはファイルの数 = 1", L"読み込めません = 1",
                                                 L"更新日時で整理したファイルの数 = 1"}));
    const std::wstring heldRow = held + L" | 読み込めません | ";
    const std::wstring twinRow = again + L" | 出力先に同じ内容のファイルがあります | " + twin;
    // Left out while the inputs were listed, before any copy: first in the run's order.
    EXPECT_EQ(runOrder, (std::vector<std::wstring>{heldRow, twinRow}));
    EXPECT_EQ(ascending, (std::vector<std::wstring>{twinRow, heldRow}));
    EXPECT_EQ(descending, (std::vector<std::wstring>{heldRow, twinRow}));
    EXPECT_EQ(byName, (std::vector<std::wstring>{twinRow, heldRow}));
    EXPECT_EQ(byReason, (std::vector<std::wstring>{heldRow}));
    EXPECT_EQ(byTwin, (std::vector<std::wstring>{twinRow}));
    const std::wstring header = L"ファイル\t理由\t出力先にある同じファイル\r\n";
    EXPECT_EQ(allCopied, header + again + L"\t出力先に同じ内容のファイルがあります\t" + twin + L"\r\n" + held +
                             L"\t読み込めません\t\r\n");
    EXPECT_EQ(oneCopied, header + held + L"\t読み込めません\t\r\n");
    EXPECT_EQ(g_shownInFolder, (std::vector<std::wstring>{held}));
    EXPECT_FALSE(openEnabledWithoutSelection);
    EXPECT_TRUE(searchByMnemonic);

    EXPECT_TRUE(layout.empty()) << Joined(layout);
    EXPECT_TRUE(keyboard.empty()) << Joined(keyboard);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"検索(&S)：", L"コピーしなかったファイル(&L)："}));
    EXPECT_TRUE(resultsShot);
    EXPECT_GT(fontGrown, fontBefore);
    EXPECT_TRUE(grown.empty()) << "at one and a half times the DPI:" << Joined(grown);
}

// A run of 200,000 files: the copies only counted, the 50,000 files already there listed, found
// and sorted among themselves.
TEST(RunResultsWindowTest, ALargeRunKeepsOnlyTheFilesNotCopiedAndFindsAmongThem)
{
    RunSummary summary;
    summary.OnFile(FileReport{L"D:\\DCIM\\100CANON\\COM1.JPG", FileOutcome::kNotOrganized,
                              L"Windows がデバイスに使う名前です", L""});
    summary.OnFile(FileReport{L"D:\\DCIM\\100CANON\\IMG_0007.JPG", FileOutcome::kNotOrganized, L"読み込めません", L""});
    wchar_t name[64] = {};
    for (int n = 0; n < 200000; ++n) {
        swprintf(name, 64, L"IMG_%06d.JPG", n);
        const std::wstring folder = L"D:\\DCIM\\" + std::to_wstring(100 + n / 1000) + L"CANON\\";
        const bool there = n % 4 == 0;
        const CaptureDateSource source = n % 1000 == 1 ? CaptureDateSource::kLastWrite : CaptureDateSource::kExif;
        summary.OnFile(FileReport{folder + name, there ? FileOutcome::kAlreadyThere : FileOutcome::kCopied, L"",
                                  L"E:\\写真\\2024\\" + std::wstring(name), source});
    }
    ASSERT_EQ(summary.NotCopiedCount(), 50002u);
    EXPECT_EQ(summary.PathOf(1), L"D:\\DCIM\\100CANON\\IMG_0007.JPG");
    EXPECT_EQ(summary.TwinOf(2), L"E:\\写真\\2024\\IMG_000000.JPG");

    TestWindow owner(60, 60, 640, 480, L"Kasumiro");
    RunResultsWindow window(&summary);
    HWND shown = nullptr;
    int all = 0, found = 0;
    bool shot = false;
    std::vector<std::wstring> counts, first, last;
    ModalScript script({
        [&] { return (shown = FindThreadWindow(kRunResultsCaption)) != nullptr; },
        [&] {
            counts = Texts(window.CountLabels());
            all = window.List()->RowCount();
            shot = SaveScreenshot(shown, L"run_results_window_large_run");
            // Every fourth file is in the list: IMG_0123{0,4,8}x and the rest of the hundred.
            Type(window.SearchBox(), L"img_0123");
            found = window.List()->RowCount();
            ClickHeader(window.List(), NotCopiedRows::kFileColumn);
            ClickHeader(window.List(), NotCopiedRows::kFileColumn);
            first = Rows(window.List());
            first.resize(2);
            Type(window.SearchBox(), L"");
            ClickHeader(window.List(), NotCopiedRows::kTwinColumn);
            last = {ListCellText(window.List()->Window(), 0, NotCopiedRows::kFileColumn),
                    ListCellText(window.List()->Window(), window.List()->RowCount() - 1, NotCopiedRows::kFileColumn)};
            PostMessageW(shown, WM_CLOSE, 0, 0);
            return true;
        },
    });
    window.DoModal(owner.get());
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(shot);
    EXPECT_EQ(counts, (std::vector<std::wstring>{L"コピーしたファイルの数 = 150000", L"重複ファイルの数 = 50000",
                                                 L"整理できなかったフォルダまたはファイルの数 = 2",
                                                 L"Windows がデバイスに使う名前です = 1", L"読み込めません = 1",
                                                 L"更新日時で整理したファイルの数 = 200"}));
    EXPECT_EQ(all, 50002);
    EXPECT_EQ(found, 25);
    EXPECT_EQ(first, (std::vector<std::wstring>{
                         L"D:\\DCIM\\112CANON\\IMG_012396.JPG | 出力先に同じ内容のファイルがあります | E:\\写真\\2024\\IMG_012396.JPG",
                         L"D:\\DCIM\\112CANON\\IMG_012392.JPG | 出力先に同じ内容のファイルがあります | E:\\写真\\2024\\IMG_012392.JPG"}));
    // Sorted by the twin, the files that have none come first, in the run's order; the last
    // twin's file comes last.
    EXPECT_EQ(last, (std::vector<std::wstring>{L"D:\\DCIM\\100CANON\\COM1.JPG", L"D:\\DCIM\\299CANON\\IMG_199996.JPG"}));
}

}  // namespace
