// The run button's whole path: checks, the run under a real progress dialog, the notices.

#include "organize/execute_organize.h"

#include "organize/compare_file.h"
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
        UiSeams().shellOpen = &RecordOpen;
    }
    TestWindow mainWindow_{60, 60, 640, 640, L"Kasumiro"};
};

TEST_F(ExecuteOrganizeTest, RunsUnderItsProgressDialogAndTellsTheUser)
{
    Photo(L"card\\DCIM\\IMG_0001.JPG", "2024:05:01 09:03:07", '1');
    Photo(L"card\\DCIM\\IMG_0002.JPG", "2024:05:01 09:03:08", '2');
    RunRequest_CL request;
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
    EXPECT_EQ(g_opened, (std::vector<std::wstring>{output_ + L"\\PhotoAlbum\\index.html"}));
    EXPECT_FALSE(IsWindowEnabled(albumButton));  // no album yet
    const std::wstring log = Log();
    EXPECT_NE(log.find(L" : 写真整理(開始)\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L" : 入力フォルダ[0] = " + root_.File(L"card") + L"\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L" : 出力フォルダ = " + output_ + L"\r\n"), std::wstring::npos);
    EXPECT_NE(log.find(L" : コピーファイルの数 = 2\r\n"), std::wstring::npos);
    EXPECT_NE(log.find(L" : 写真整理(終了)\r\n"), std::wstring::npos);
    CompareFile_CL record;
    ASSERT_EQ(record.Load(output_ + L"\\Sortavel.dat"), 0);
    EXPECT_EQ(record.OutputFormat(), 4);
}

TEST_F(ExecuteOrganizeTest, CancelledQuestionRunsNothing)
{
    Photo(L"card\\IMG_0001.JPG", "2024:05:01 09:03:07");
    CreateDirectoryW(output_.c_str(), nullptr);
    CompareFile_CL record;
    record.SetOutputFormat(4);
    ASSERT_EQ(record.Save(output_ + L"\\Sortavel.dat"), 0);
    answer = IDCANCEL;
    RunRequest_CL request;
    request.inputFolders = {root_.File(L"card")};
    request.outputText = output_;
    request.outputFormat = 4;
    ExecuteOrganize(mainWindow_.get(), request, nullptr);
    EXPECT_FALSE(FileExists(output_ + L"\\2024-05-01"));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, L"キャンセルしました。");
    EXPECT_TRUE(g_opened.empty());
}

}  // namespace
