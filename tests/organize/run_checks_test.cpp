// The checks before a run, as verdicts: what they refuse, in which order, and the words the
// user reads for each. They show nothing and write no settings.

#include "organize/run_checks.h"

#include "base/settings_store.h"
#include "organize/output_record.h"
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

class CheckRunTest : public OrganizeFixture {
protected:
    // The input folder the cases name is there, as a card's folder is.
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        CreateDirectoryW(root_.File(L"in").c_str(), nullptr);
    }
    RunVerdict Check(std::vector<std::wstring> inputs, const std::wstring& output, int format = 8)
    {
        RunChoices choices;
        choices.inputFolders = std::move(inputs);
        choices.outputText = output;
        choices.outputFormat = format;
        return CheckRun(choices, &prepared_);
    }
    PreparedRun prepared_;
};

TEST_F(CheckRunTest, OutputInsideAnInputIsRefusedNamingBoth)
{
    const RunVerdict verdict = Check({L"C:\\Other", L"d:\\photos\\", L"E:\\Later"}, L"D:\\Photos");
    EXPECT_EQ(verdict.kind, RunVerdict::kOutputInsideInput);
    EXPECT_EQ(verdict.inputIndex, 1u);
    EXPECT_EQ(prepared_.inputFolders, (std::vector<std::wstring>{L"C:\\Other", L"d:\\photos", L"E:\\Later"}));
    EXPECT_EQ(RunVerdictText(verdict, prepared_),
              L"出力先フォルダが入力フォルダの中に含まれています。出力先フォルダは入力フォルダの中に含まないでください。"
              L"\r\n【入力】d:\\photos\r\n【出力】D:\\Photos");
}

TEST_F(CheckRunTest, EmptyChoicesAreRefusedInputFirstAndLogged)
{
    RunVerdict verdict = Check({}, L"");
    EXPECT_EQ(verdict.kind, RunVerdict::kNoInput);
    EXPECT_EQ(RunVerdictText(verdict, prepared_), L"入力フォルダを指定してください。");
    EXPECT_NE(Log().find(L" : 入力フォルダを指定してください。\r\n"), std::wstring::npos);
    verdict = Check({root_.File(L"in")}, L"\\");
    EXPECT_EQ(verdict.kind, RunVerdict::kNoOutput);
    EXPECT_EQ(RunVerdictText(verdict, prepared_), L"出力先フォルダを指定してください。");
    EXPECT_NE(Log().find(L" : 出力先フォルダを指定してください。\r\n"), std::wstring::npos);
}

TEST_F(CheckRunTest, HiddenFilesDoNotMakeAFolderUsedButFoldersDo)
{
    const std::wstring hidden = MakeFile(output_ + L"\\desktop.ini");
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Check({root_.File(L"in")}, output_ + L"\\").kind, RunVerdict::kGo);
    EXPECT_EQ(prepared_.outputFolder, output_);

    const std::wstring folder = output_ + L"\\.hidden";
    CreateDirectoryW(folder.c_str(), nullptr);
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const RunVerdict verdict = Check({root_.File(L"in")}, output_);
    EXPECT_EQ(verdict.kind, RunVerdict::kOutputNotEmpty);
    EXPECT_EQ(RunVerdictText(verdict, prepared_).rfind(L"出力先フォルダが空ではありません。", 0), 0u);
}

TEST_F(CheckRunTest, UsedFoldersNeedTheSameLayoutAndAQuestion)
{
    CreateDirectoryW(output_.c_str(), nullptr);
    OutputRecord record;
    record.SetOutputFormat(8);
    ASSERT_EQ(record.Save(output_ + L"\\Sortavel.dat"), kStatusOk);

    RunVerdict verdict = Check({root_.File(L"in")}, output_, 4);
    EXPECT_EQ(verdict.kind, RunVerdict::kOtherLayout);
    EXPECT_EQ(RunVerdictText(verdict, prepared_),
              L"出力先はフォルダは、過去に写真の整理を実行した事のあるフォルダです。"
              L"出力フォルダの形式を変更する場合は、出力先フォルダを空にしてから再度実行してください。");

    verdict = Check({root_.File(L"in")}, output_, 8);
    EXPECT_EQ(verdict.kind, RunVerdict::kAskBeforeAdding);
    EXPECT_NE(RunVerdictText(verdict, prepared_).find(L"前回の結果に追加で整理を行いますがよろしいですか？"), std::wstring::npos);
}

TEST_F(CheckRunTest, AHalfSavedRecordLeftByAStoppedRunDoesNotMakeTheFolderUsed)
{
    const std::wstring saving = MakeFile(output_ + L"\\Sortavel.dat.saving", Bytes(40, 's'));
    EXPECT_EQ(Check({root_.File(L"in")}, output_).kind, RunVerdict::kGo);
    EXPECT_FALSE(FileExists(saving));
}

TEST_F(CheckRunTest, ARecordedLayoutOutsideTheTableIsTheDefaultLayoutAndStillGuardsTheFolder)
{
    CreateDirectoryW(output_.c_str(), nullptr);
    for (const std::int32_t stored : {-1, 99}) {
        OutputRecord record;
        record.SetOutputFormat(stored);
        ASSERT_EQ(record.Save(output_ + L"\\Sortavel.dat"), kStatusOk);
        OutputRecord loaded;
        ASSERT_EQ(loaded.Load(output_ + L"\\Sortavel.dat").outcome, RecordLoad::kLoaded);
        EXPECT_EQ(loaded.OutputFormat(), 3) << stored;
        // Read as layout 3, the folder refuses another layout instead of taking any.
        EXPECT_EQ(Check({root_.File(L"in")}, output_, 5).kind, RunVerdict::kOtherLayout) << stored;
        EXPECT_EQ(Check({root_.File(L"in")}, output_, 3).kind, RunVerdict::kAskBeforeAdding) << stored;
    }
}

TEST_F(CheckRunTest, ChecksWriteNoSettings)
{
    const Bytes before = ReadBytes(g_SettingsStore.Path());
    EXPECT_EQ(Check({root_.File(L"in")}, output_).kind, RunVerdict::kGo);
    EXPECT_EQ(Check({}, L"").kind, RunVerdict::kNoInput);
    EXPECT_EQ(ReadBytes(g_SettingsStore.Path()), before);
}

}  // namespace
