#include "organize/run_checks.h"

#include "app/inifile.h"
#include "organize/compare_file.h"
#include "organize/organize_settings.h"
#include "tests/organize/organize_fixture.h"

namespace {

TEST(RunChecksTest, ContainmentWorksOnWholePathComponents)
{
    EXPECT_TRUE(OutputLiesInInput(L"D:\\Photos\\Sorted", L"D:\\Photos"));
    EXPECT_TRUE(OutputLiesInInput(L"D:\\Photos", L"d:\\photos"));
    EXPECT_FALSE(OutputLiesInInput(L"D:\\Photos2", L"D:\\Photos"));
    EXPECT_FALSE(OutputLiesInInput(L"D:\\Out", L"D:\\Out\\In"));
    EXPECT_TRUE(OutputLiesInInput(L"E:\\DCIM\\a\\b", L"E:"));
}

class PrepareRunTest : public OrganizeFixture {
protected:
    bool Prepare(std::vector<std::wstring> inputs, const std::wstring& output, int format = 8)
    {
        RunRequest_CL request;
        request.inputFolders = std::move(inputs);
        request.outputText = output;
        request.outputFormat = format;
        return PrepareRun(nullptr, request, &prepared_);
    }
    std::vector<std::wstring> Texts() const
    {
        std::vector<std::wstring> texts;
        for (const auto& box : boxes)
            texts.push_back(box.text);
        return texts;
    }
    PreparedRun_CL prepared_;
};

TEST_F(PrepareRunTest, OutputInsideAnInputIsRefusedNamingBoth)
{
    EXPECT_FALSE(Prepare({L"C:\\Other", L"d:\\photos\\"}, L"D:\\Photos"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"パラメータエラー");
    EXPECT_EQ(boxes[0].text,
              L"出力先フォルダが入力フォルダの中に含まれています。出力先フォルダは入力フォルダの中に含まないでください。"
              L"\r\n【入力】d:\\photos\r\n【出力】D:\\Photos");
    // The history holds the folders up to this one; the output was not saved.
    EXPECT_EQ(g_Ini.GetInt(L"FOLDER_HISTORY", L"count", 0), 2);
    EXPECT_EQ(g_Ini.GetString(L"FOLDER_HISTORY", L"item1", L""), L"d:\\photos");
    EXPECT_EQ(g_Ini.GetString(L"APP_INFO", L"OutputFolder", L"none"), L"none");
}

TEST_F(PrepareRunTest, EmptyChoicesAreRefusedInputFirst)
{
    EXPECT_FALSE(Prepare({}, L""));
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"入力フォルダを指定してください。"}));
    EXPECT_EQ(boxes[0].caption, L"お知らせ");
    EXPECT_NE(Log().find(L" : 入力フォルダを指定してください。\r\n"), std::wstring::npos);
    boxes.clear();
    EXPECT_FALSE(Prepare({root_.File(L"in")}, L"\\"));
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"出力先フォルダを指定してください。"}));
    // The choices were saved before the checks.
    EXPECT_EQ(g_Ini.GetInt(L"APP_INFO", L"OutputFormatType", 0), 8);
}

TEST_F(PrepareRunTest, HiddenFilesDoNotMakeAFolderUsedButFoldersDo)
{
    const std::wstring hidden = MakeFile(output_ + L"\\desktop.ini");
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(Prepare({root_.File(L"in")}, output_ + L"\\"));
    EXPECT_EQ(prepared_.outputFolder, output_);
    EXPECT_TRUE(boxes.empty());

    const std::wstring folder = output_ + L"\\.hidden";
    CreateDirectoryW(folder.c_str(), nullptr);
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(Prepare({root_.File(L"in")}, output_));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text.rfind(L"出力先フォルダが空ではありません。", 0), 0u);
    EXPECT_EQ(boxes[1].text, L"キャンセルしました。");
}

TEST_F(PrepareRunTest, UsedFoldersNeedTheSameLayoutAndTheUsersConsent)
{
    CreateDirectoryW(output_.c_str(), nullptr);
    CompareFile_CL record;
    record.SetOutputFormat(8);
    ASSERT_EQ(record.Save(output_ + L"\\Sortavel.dat"), 0);

    EXPECT_FALSE(Prepare({root_.File(L"in")}, output_, 4));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, L"出力先はフォルダは、過去に写真の整理を実行した事のあるフォルダです。"
                             L"出力フォルダの形式を変更する場合は、出力先フォルダを空にしてから再度実行してください。");
    EXPECT_EQ(boxes[1].text, L"キャンセルしました。");

    boxes.clear();
    answer = IDCANCEL;
    EXPECT_FALSE(Prepare({root_.File(L"in")}, output_, 8));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OKCANCEL));
    EXPECT_EQ(boxes[1].text, L"キャンセルしました。");

    boxes.clear();
    answer = IDOK;
    EXPECT_TRUE(Prepare({root_.File(L"in")}, output_, 8));
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(PrepareRunTest, SettingsAreLeftAloneWhenAskedTo)
{
    RunRequest_CL request;
    request.inputFolders = {root_.File(L"in")};
    request.outputText = output_;
    request.saveSettings = false;
    const Bytes before = ReadBytes(g_Ini.Path());
    EXPECT_TRUE(PrepareRun(nullptr, request, &prepared_));
    EXPECT_EQ(ReadBytes(g_Ini.Path()), before);
}

}  // namespace
