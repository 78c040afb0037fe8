// The run button's whole path: the choices remembered, the checks' notices, the run under a
// real progress dialog, the completion notice and the album in the browser.

#include "app/execute_organize.h"

#include "base/settings_store.h"
#include "base/path_text.h"
#include "organize/organize_result.h"
#include "organize/output_record.h"
#include "organize/organize_settings.h"
#include "tests/organize/organize_fixture.h"
#include "tests/support/test_window.h"

namespace {

std::vector<std::wstring> g_opened;
bool RecordOpen(HWND, const std::wstring& target)
{
    g_opened.push_back(target);
    return true;
}

class ExecuteOrganizeTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        g_opened.clear();
        ActiveUiSeams().shellOpen = &RecordOpen;
    }
    // The run button with these choices, layout 8 unless given.
    void Execute(std::vector<std::wstring> inputs, const std::wstring& output, int format = 8, bool makeAlbum = false)
    {
        RunChoices choices;
        choices.inputFolders = std::move(inputs);
        choices.outputText = output;
        choices.outputFormat = format;
        choices.makeAlbum = makeAlbum;
        ExecuteOrganize(mainWindow_.get(), choices, nullptr);
    }
    // The output folder as an earlier run in this layout left it.
    void MarkOutputUsed(int format)
    {
        CreateDirectoryW(output_.c_str(), nullptr);
        OutputRecord record;
        record.SetOutputFormat(format);
        ASSERT_EQ(record.Save(output_ + L"\\Sortavel.dat"), kStatusOk);
    }
    std::vector<std::wstring> Texts() const
    {
        std::vector<std::wstring> texts;
        for (const auto& box : boxes)
            texts.push_back(box.text);
        return texts;
    }
    TestWindow mainWindow_{60, 60, 640, 640, L"Kasumiro"};
};

TEST_F(ExecuteOrganizeTest, RunsUnderItsProgressDialogAndTellsTheUser)
{
    Photo(L"card\\DCIM\\IMG_0001.JPG", "2024:05:01 09:03:07", '1');
    Photo(L"card\\DCIM\\IMG_0002.JPG", "2024:05:01 09:03:08", '2');
    RunChoices request;
    request.inputFolders = {root_.File(L"card\\")};
    request.outputText = output_;
    request.outputFormat = 4;
    request.makeAlbum = true;
    HWND albumButton = CreateWindowExW(0, L"Button", L"写真一覧HTMLを開く", WS_CHILD | WS_VISIBLE, 0, 0, 100, 30,
                                       mainWindow_.get(), nullptr, nullptr, nullptr);
    ExecuteOrganize(mainWindow_.get(), request, albumButton);

    EXPECT_TRUE(FileExists(output_ + L"\\2024-05-01\\IMG_0001.JPG"));
    EXPECT_TRUE(FileExists(output_ + L"\\2024-05-01\\IMG_0002.JPG"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"写真の整理が完了しました。");
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(boxes[0].button, L"詳細を表示(&D)");
    EXPECT_EQ(g_opened, (std::vector<std::wstring>{output_ + L"\\PhotoAlbum\\index.html"}));
    // The run ended with the album: the button that opens it is enabled.
    EXPECT_TRUE(FileExists(output_ + L"\\PhotoAlbum\\index.html"));
    EXPECT_TRUE(IsWindowEnabled(albumButton));
    const std::wstring log = Log();
    EXPECT_NE(log.find(L" : 写真整理(開始)\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L" : 入力フォルダ[0] = " + root_.File(L"card") + L"\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L" : 出力フォルダ = " + output_ + L"\r\n"), std::wstring::npos);
    EXPECT_NE(log.find(L" : コピーファイルの数 = 2\r\n"), std::wstring::npos);
    EXPECT_NE(log.find(L" : 写真整理(終了)\r\n"), std::wstring::npos);
    OutputRecord record;
    ASSERT_EQ(record.Load(output_ + L"\\Sortavel.dat").outcome, RecordLoad::kLoaded);
    EXPECT_EQ(record.OutputFormat(), 4);
}

TEST_F(ExecuteOrganizeTest, CancelledQuestionRunsNothing)
{
    Photo(L"card\\IMG_0001.JPG", "2024:05:01 09:03:07");
    ASSERT_NO_FATAL_FAILURE(MarkOutputUsed(4));
    answer = IDCANCEL;
    RunChoices request;
    request.inputFolders = {root_.File(L"card")};
    request.outputText = output_;
    request.outputFormat = 4;
    ExecuteOrganize(mainWindow_.get(), request, nullptr);
    EXPECT_FALSE(FileExists(output_ + L"\\2024-05-01"));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, L"キャンセルしました。");
    EXPECT_TRUE(g_opened.empty());
}

TEST_F(ExecuteOrganizeTest, OutputInsideAnInputIsAParameterErrorAndRemembersTheFoldersUpToIt)
{
    Execute({L"C:\\Other", L"d:\\photos\\", L"E:\\Later"}, L"D:\\Photos");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"パラメータエラー");
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(boxes[0].text,
              L"出力先フォルダが入力フォルダの中に含まれています。出力先フォルダは入力フォルダの中に含まないでください。"
              L"\r\n【入力】d:\\photos\r\n【出力】D:\\Photos");
    EXPECT_EQ(g_SettingsStore.GetList(L"FOLDER_HISTORY"), (std::vector<std::wstring>{L"C:\\Other", L"d:\\photos"}));
    EXPECT_EQ(g_SettingsStore.GetString(L"APP_INFO", L"OutputFolder", L"none"), L"none");
}

TEST_F(ExecuteOrganizeTest, RefusalsTellTheUserAndKeepWhatWasTyped)
{
    Execute({}, L"");
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"入力フォルダを指定してください。"}));
    EXPECT_EQ(boxes[0].caption, L"お知らせ");
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    boxes.clear();
    Execute({root_.File(L"in\\")}, L"\\");
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"出力先フォルダを指定してください。"}));
    // The choices were saved before the checks.
    EXPECT_EQ(g_SettingsStore.GetInt(L"APP_INFO", L"OutputFormatType", 0), 8);
    EXPECT_EQ(g_SettingsStore.GetList(L"FOLDER_HISTORY"), (std::vector<std::wstring>{root_.File(L"in")}));

    boxes.clear();
    CreateDirectoryW(root_.File(L"in").c_str(), nullptr);
    MakeFile(output_ + L"\\somebody else's.txt");
    Execute({root_.File(L"in")}, output_);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text.rfind(L"出力先フォルダが空ではありません。", 0), 0u);
    EXPECT_EQ(boxes[1].text, L"キャンセルしました。");
    EXPECT_EQ(boxes[1].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
}

TEST_F(ExecuteOrganizeTest, UsedFoldersNeedTheSameLayoutAndTheUsersConsent)
{
    Photo(L"in\\IMG_0001.JPG", "2024:05:01 09:03:07");
    ASSERT_NO_FATAL_FAILURE(MarkOutputUsed(8));

    Execute({root_.File(L"in")}, output_, 4);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text.rfind(L"出力先はフォルダは、過去に写真の整理を実行した事のあるフォルダです。出力フォルダの形式", 0), 0u);
    EXPECT_EQ(boxes[1].text, L"キャンセルしました。");

    boxes.clear();
    answer = IDOK;
    Execute({root_.File(L"in")}, output_, 8);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OKCANCEL));
    EXPECT_EQ(boxes[1].text, L"写真の整理が完了しました。");
}

// A file that cannot be copied is named, with a warning, and never called a whole success.
TEST_F(ExecuteOrganizeTest, AFileThatCouldNotBeCopiedIsToldAndNeverCalledAWholeSuccess)
{
    Photo(L"in\\IMG_0001.JPG", "2024:05:01 09:03:07");
    ASSERT_NO_FATAL_FAILURE(MarkOutputUsed(8));
    MakeFile(output_ + L"\\2024");  // a file where the year folder must go
    Execute({root_.File(L"in")}, output_, 8);
    ASSERT_EQ(boxes.size(), 2u);  // the question and the notice
    EXPECT_EQ(boxes[1].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes[1].text, L"写真の整理が完了しました。\r\n\r\nコピーできなかったため、1 個のファイルを整理できませんでした。"
                             L"詳しくはログを確認してください。");
    EXPECT_NE(Log().find(L" : コピー元 = " + root_.File(L"in\\IMG_0001.JPG")), std::wstring::npos);
    EXPECT_NE(Log().find(L" : 写真整理(終了)\r\n"), std::wstring::npos);
}

TEST_F(ExecuteOrganizeTest, ARecordThatCannotBeReadIsShownAndNoAlbumIsOpened)
{
    Photo(L"in\\IMG_0001.JPG", "2024:05:01 09:03:07");
    ASSERT_NO_FATAL_FAILURE(MarkOutputUsed(8));
    HANDLE held = CreateFileW((output_ + L"\\Sortavel.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Execute({root_.File(L"in")}, output_, 8, true);
    CloseHandle(held);

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, L"写真の整理に失敗しました");
    EXPECT_EQ(boxes[1].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_NE(boxes[1].text.find(L"比較情報(Sortavel.dat)を読み込めませんでした。"), std::wstring::npos) << boxes[1].text;
    EXPECT_FALSE(FileExists(output_ + L"\\2024"));
    EXPECT_FALSE(FileExists(output_ + L"\\PhotoAlbum"));
    EXPECT_TRUE(g_opened.empty());
}

TEST_F(ExecuteOrganizeTest, AnAlbumThatCouldNotBeWrittenIsAFailureByNameAndNeverOpened)
{
    Photo(L"in\\IMG_0001.JPG", "2024:05:01 09:03:07");
    // A folder where the album keeps a list file: the list cannot be written.
    const std::wstring blocked = output_ + L"\\PhotoAlbum.cache\\scan.facts";
    ASSERT_NO_FATAL_FAILURE(MarkOutputUsed(8));
    ASSERT_TRUE(CreateDirectoryW(FolderOfPath(blocked).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(blocked.c_str(), nullptr));
    HWND albumButton = CreateWindowExW(0, L"Button", L"写真一覧HTMLを開く", WS_CHILD | WS_VISIBLE, 0, 0, 100, 30,
                                       mainWindow_.get(), nullptr, nullptr, nullptr);
    RunChoices request;
    request.inputFolders = {root_.File(L"in")};
    request.outputText = output_;
    request.outputFormat = 8;
    request.makeAlbum = true;
    ExecuteOrganize(mainWindow_.get(), request, albumButton);

    // The question before adding to the folder, then the failure; never the completion notice.
    ASSERT_EQ(boxes.size(), 2u);
    const ShownBox& failure = boxes.back();
    EXPECT_EQ(failure.caption, L"写真の整理に失敗しました");
    EXPECT_EQ(failure.type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_NE(failure.text.find(L"写真の整理は完了しましたが、写真一覧HTMLを作成できませんでした。"), std::wstring::npos)
        << failure.text;
    EXPECT_NE(failure.text.find(L"【ファイル】" + blocked + L"\r\n【HRESULT】0x8007"), std::wstring::npos) << failure.text;
    EXPECT_TRUE(FileExists(output_ + L"\\2024\\05\\01\\IMG_0001.JPG"));  // the copies stand
    EXPECT_FALSE(FileExists(output_ + L"\\PhotoAlbum\\index.html"));
    EXPECT_FALSE(IsWindowEnabled(albumButton));
    EXPECT_TRUE(g_opened.empty());
}

TEST_F(ExecuteOrganizeTest, BadInputIsToldBeforeTheRunAndWhatWasLeftOutAfterIt)
{
    // A folder that is not there: a notice naming it, and no run.
    Execute({root_.File(L"no card")}, output_);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"お知らせ");
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_NE(boxes[0].text.find(L"【入力】" + root_.File(L"no card")), std::wstring::npos) << boxes[0].text;
    EXPECT_FALSE(FileExists(output_));

    // A damaged record: an error naming the file, and no run.
    boxes.clear();
    Photo(L"in\\IMG_0001.JPG", "2024:05:01 09:03:07");
    const std::wstring record = MakeFile(output_ + L"\\Sortavel.dat", Bytes(100, 0xEE));
    Execute({root_.File(L"in")}, output_);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_NE(boxes[0].text.find(L"【ファイル】" + record), std::wstring::npos) << boxes[0].text;
    EXPECT_FALSE(FileExists(output_ + L"\\2024"));

    // A file another program holds: the rest is organized, and the notice says one was left out.
    boxes.clear();
    DeleteFileW(record.c_str());
    RemoveDirectoryW(output_.c_str());
    const std::wstring held = Photo(L"in\\IMG_0002.JPG", "2024:05:01 09:03:08", 'h');
    HANDLE hold = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    Execute({root_.File(L"in")}, output_);
    CloseHandle(hold);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes[0].text, L"写真の整理が完了しました。\r\n\r\n読み込めなかったため、1 個のフォルダまたはファイルを整理できませんでした。"
                             L"詳しくはログを確認してください。");
    EXPECT_NE(Log().find(L"ファイルを読み込めません = " + held), std::wstring::npos);
}

// The message box of a copy that failed, whole: both files and the status to its end.
TEST(CopyFailureTextTest, NamesBothFilesAndEndsWithTheStatus)
{
    OrganizeResult result;
    result.failedStage = OrganizeResult::kCopy;
    result.status = StatusFromWin32(ERROR_DISK_FULL);
    result.failedSource = L"D:\\DCIM\\100CANON\\IMG_0001.JPG";
    result.failedDestination = L"E:\\写真\\2024-07\\IMG_0001.JPG";
    const std::wstring text = L"ファイルのコピーに失敗しました。\r\n【コピー元】D:\\DCIM\\100CANON\\IMG_0001.JPG"
                              L"\r\n【コピー先】E:\\写真\\2024-07\\IMG_0001.JPG\r\n【HRESULT】0x80070070";
    EXPECT_EQ(CopyFailureText(result), text);
    EXPECT_EQ(RunFailureText(result), text);
}

}  // namespace
