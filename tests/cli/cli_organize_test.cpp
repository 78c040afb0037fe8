// kasumiro-cli organize end to end: real folders, the real program, its exit status and
// what it prints.

#include <gtest/gtest.h>
#include <windows.h>

#include "base/handles.h"
#include "base/paths.h"
#include "organize/output_record.h"
#include "base/path_text.h"
#include "run/run_reports.h"
#include "tests/metadata/metadata_test_data.h"
#include "tests/organize/organize_test_files.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

class CliOrganizeTest : public testing::Test {
protected:
    TempFolder root_;
    std::wstring settings_ = root_.File(L"settings.ini");
    std::wstring output_ = root_.File(L"整理済み");
    std::wstring card_ = root_.File(L"card");

    void SetUp() override { ASSERT_TRUE(WriteBytes(settings_, {0xFF, 0xFE})); }

    RunResult Organize(const std::wstring& options)
    {
        return RunAndCapture(QuotedProgram(L"kasumiro-cli.exe") + L" organize --settings \"" + settings_ +
                             L"\" --output \"" + output_ + L"\" --input \"" + card_ + L"\" " + options);
    }
    void Photo(const std::wstring& name, const std::string& date, char filler)
    {
        Bytes bytes = JpegWithDates(date);
        bytes.insert(bytes.end() - 2, 100, static_cast<std::uint8_t>(filler));
        MakeFile(card_ + L"\\" + name, bytes);
    }
};

TEST_F(CliOrganizeTest, OrganizesPrintsTheCountsAndNeverWritesTheSettings)
{
    Photo(L"IMG_0001.JPG", "2024:05:01 09:03:07", 'a');
    Photo(L"sub\\IMG_0001.JPG", "2024:05:01 09:03:07", 'a');  // the same photo again
    Photo(L"IMG_0002.JPG", "2023:12:31 23:59:59", 'b');
    MakeFile(card_ + L"\\clip.mov");
    const Bytes settingsBefore = ReadBytes(settings_);

    RunResult run = Organize(L"--format 13 --no-album");
    ASSERT_TRUE(run.finished) << "start error " << run.startError;
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, "入力ファイルの数   = 3\n重複ファイルの数   = 1\nコピーファイルの数 = 2\n更新日時で整理したファイルの数 = 0\n");
    EXPECT_TRUE(FileExists(output_ + L"\\2024年\\05月\\01日\\IMG_0001.JPG"));
    EXPECT_TRUE(FileExists(output_ + L"\\2023年\\12月\\31日\\IMG_0002.JPG"));
    EXPECT_EQ(ReadBytes(settings_), settingsBefore);

    // A second run into the used folder needs --yes.
    run = Organize(L"--format 13 --no-album");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find("\xE3\x82\xAD\xE3\x83\xA3\xE3\x83\xB3\xE3\x82\xBB\xE3\x83\xAB"), std::string::npos)
        << run.err;  // キャンセル
    run = Organize(L"--format 13 --no-album --yes");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, "入力ファイルの数   = 3\n重複ファイルの数   = 3\nコピーファイルの数 = 0\n更新日時で整理したファイルの数 = 0\n");

    // Another layout into the same folder is refused.
    run = Organize(L"--format 4 --yes");
    EXPECT_EQ(run.exitCode, 2u);

    // Movies too, when asked for.
    run = Organize(L"--format 13 --kinds photo,movie --yes");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("コピーファイルの数 = 1"), std::string::npos) << run.out;
}

// --report writes a line a file as the run goes; a report that cannot be made refuses the run.
// The data folder keeps the last runs' reports, the oldest removed.
TEST_F(CliOrganizeTest, TheReportNamesEveryFileAndTheDataFolderKeepsTheLastTen)
{
    Photo(L"IMG_0001.JPG", "2024:05:01 09:03:07", 'a');
    Photo(L"IMG_0002.JPG", "2024:05:01 09:03:08", 'b');
    const std::wstring report = root_.File(L"report.json");
    const RunResult run = Organize(L"--format 8 --no-album --report \"" + report + L"\"");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    const Bytes bytes = ReadBytes(report);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(CountOf(Utf8ToWide(text), L"\"outcome\": \"copied\""), 2u) << text;
    EXPECT_EQ(CountOf(Utf8ToWide(text), L"\n"), 2u) << text;

    const RunResult refused = Organize(L"--format 8 --no-album --yes --report \"" + root_.File(L"none\\r.json") + L"\"");
    EXPECT_EQ(refused.exitCode, 2u);

    const std::wstring data = root_.File(L"data");
    ASSERT_TRUE(CreateDirectoryW(data.c_str(), nullptr));
    for (int i = 0; i < 12; ++i)
        MakeFile(data + L"\\report-20240101-0000" + (i < 10 ? L"0" : L"") + std::to_wstring(i) + L"-000.json");
    const std::wstring path = NewKeptReportPath(data);
    MakeFile(path);
    const auto kept = FolderSnapshot(data);
    EXPECT_EQ(kept.size(), static_cast<std::size_t>(kKeptRunReports));
    EXPECT_EQ(kept.count(L"\\report-20240101-000001-000.json"), 0u);
    EXPECT_EQ(kept.count(L"\\report-20240101-000003-000.json"), 1u);
    EXPECT_EQ(kept.count(L"\\" + NameOfPath(path)), 1u);
}

TEST_F(CliOrganizeTest, RefusalsAndUsageErrorsExitTwo)
{
    CreateDirectoryW(card_.c_str(), nullptr);
    // The output inside the input.
    RunResult run = RunAndCapture(QuotedProgram(L"kasumiro-cli.exe") + L" organize --settings \"" + settings_ +
                                  L"\" --input \"" + card_ + L"\" --output \"" + card_ + L"\\out\"");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find("\xE3\x80\x90\xE5\x85\xA5\xE5\x8A\x9B\xE3\x80\x91"), std::string::npos) << run.err;  // 【入力】
    // No input folder at all.
    run = RunAndCapture(QuotedProgram(L"kasumiro-cli.exe") + L" organize --settings \"" + settings_ + L"\" --output \"" +
                        output_ + L"\"");
    EXPECT_EQ(run.exitCode, 2u);
    for (const wchar_t* options : {L"--format 23", L"--kinds photo,pictures", L"--bogus", L"--input"}) {
        run = Organize(options);
        EXPECT_EQ(run.exitCode, 2u) << options;
        EXPECT_EQ(run.out, "") << options;
    }
    run = RunAndCapture(QuotedProgram(L"kasumiro-cli.exe") + L" organize --settings \"" + root_.File(L"none.ini") +
                        L"\" --input \"" + card_ + L"\" --output \"" + output_ + L"\"");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_FALSE(FileExists(output_));
}

// One file that cannot be placed is named and the rest are organized; a script still learns
// that the run was not whole.
TEST_F(CliOrganizeTest, AFileThatCannotBePlacedMakesTheRunExitOne)
{
    Photo(L"IMG_0001.JPG", "2024:05:01 09:03:07", 'a');
    Photo(L"IMG_0002.JPG", "2023:05:01 09:03:07", 'b');
    MakeFile(output_ + L"\\2024");  // where the year folder must go
    OutputRecord record;            // a folder organized before, so the file may be there
    record.SetOutputFormat(8);
    ASSERT_EQ(record.Save(output_ + L"\\Sortavel.dat"), kStatusOk);
    const RunResult run = Organize(L"--format 8 --no-album --yes");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.out, "入力ファイルの数   = 2\n重複ファイルの数   = 0\nコピーファイルの数 = 1\n更新日時で整理したファイルの数 = 0\n");
    EXPECT_NE(run.err.find("コピーできなかったため、1 個のファイルを整理できませんでした。"), std::string::npos) << run.err;
    EXPECT_TRUE(FileExists(output_ + L"\\2023\\05\\01\\IMG_0002.JPG"));
}

}  // namespace

namespace {

TEST_F(CliOrganizeTest, WhatCouldNotBeReadMakesTheRunExitOne)
{
    Photo(L"IMG_0001.JPG", "2024:05:01 09:03:07", 'a');
    const std::wstring locked = card_ + L"\\IMG_0002.JPG";
    Photo(L"IMG_0002.JPG", "2024:05:01 09:03:07", 'b');
    UniqueFile hold(CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);
    const RunResult run = Organize(L"--format 8 --no-album");
    EXPECT_EQ(run.exitCode, 1u) << run.err;
    EXPECT_EQ(run.out, "入力ファイルの数   = 1\n重複ファイルの数   = 0\nコピーファイルの数 = 1\n更新日時で整理したファイルの数 = 0\n");
    EXPECT_NE(run.err.find("読み込めなかったため、1 個のフォルダまたはファイルを整理できませんでした。"), std::string::npos)
        << run.err;
}

TEST_F(CliOrganizeTest, AMissingInputOrADamagedRecordIsRefusedByName)
{
    RunResult run = Organize(L"--format 8 --no-album");  // the card folder was never made
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find("【入力】"), std::string::npos) << run.err;
    EXPECT_FALSE(FileExists(output_));

    Photo(L"IMG_0001.JPG", "2024:05:01 09:03:07", 'a');
    MakeFile(output_ + L"\\Sortavel.dat", Bytes(64, 0));
    run = Organize(L"--format 8 --no-album --yes");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find("が壊れているため"), std::string::npos) << run.err;
    EXPECT_FALSE(FileExists(output_ + L"\\2024"));
}

TEST_F(CliOrganizeTest, AlbumComesWithTheRunAndOnItsOwn)
{
    // A picture the imaging library decodes: the album lists only those.
    MakeFile(card_ + L"\\IMG_0001.JPG", ReadWholeFile(RealTestFile("jpeg/mde_HTC_Desire.jpg")));
    MakeFile(card_ + L"\\notes.txt");
    SetLocalLastWrite(card_ + L"\\notes.txt", 2011, 5, 6, 12, 0, 0);
    RunResult run = Organize(L"--format 8 --album --kinds photo,etc");
    ASSERT_TRUE(run.finished) << "start error " << run.startError;
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    const std::wstring index = output_ + L"\\PhotoAlbum\\index.html";
    ASSERT_TRUE(FileExists(index));
    EXPECT_TRUE(FileExists(output_ + L"\\PhotoAlbum\\2011\\201105.html"));

    // The album of the folder as it stands, built again; without the files that have no preview.
    const std::wstring album = QuotedProgram(L"kasumiro-cli.exe") + L" album --output \"" + output_ + L"\"";
    run = RunAndCapture(album + L" --no-preview-files");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(Utf8ToWide(run.out), index + L"\n");
    const Bytes page = ReadBytes(output_ + L"\\PhotoAlbum\\2011\\201105.html");
    EXPECT_EQ(std::string(page.begin(), page.end()).find("notes.txt"), std::string::npos);
    EXPECT_NE(std::string(page.begin(), page.end()).find("IMG_0001.JPG"), std::string::npos);
}

// The codecs are bound on their first call: without one (or with another DLL in its place),
// the program still starts and organizes, and the album names the codec, fails and leaves the
// last album as it was.
TEST_F(CliOrganizeTest, WithoutItsCodecsTheProgramRunsAndTheAlbumNamesTheOneMissing)
{
    Photo(L"IMG_0001.JPG", "2011:05:06 12:00:00", 'a');
    ASSERT_EQ(Organize(L"--format 13 --no-album").exitCode, 0u);
    Photo(L"IMG_0002.JPG", "2011:05:06 12:00:01", 'b');
    const std::wstring oldIndex = output_ + L"\\PhotoAlbum\\index.html";
    MakeFile(oldIndex, Bytes{'o', 'l', 'd'});
    struct Case {
        const wchar_t* removed;
        const wchar_t* replacedBy;  // another DLL under the removed one's name
        const wchar_t* named;
    };
    for (const Case& broken : {Case{L"libde265.dll", nullptr, L"libde265.dll 1."},
                               Case{L"libheif.dll", L"libjpeg-62.dll", L"libheif.dll 1."}}) {
        SCOPED_TRACE(broken.named);
        const std::wstring program = root_.File(L"program");
        DeleteTree(program);
        WIN32_FIND_DATAW found{};
        const std::wstring here = GetExeFolder() + L"\\";
        UniqueFindHandle dlls(FindFirstFileW((here + L"*.dll").c_str(), &found));
        ASSERT_TRUE(dlls);
        do {
            if (_wcsicmp(found.cFileName, broken.removed) != 0)
                MakeFile(program + L"\\" + found.cFileName, ReadBytes(here + found.cFileName));
        } while (FindNextFileW(dlls.get(), &found));
        if (broken.replacedBy)
            MakeFile(program + L"\\" + broken.removed, ReadBytes(here + broken.replacedBy));
        const std::wstring cli = L"\"" + program + L"\\kasumiro-cli.exe\"";
        MakeFile(program + L"\\kasumiro-cli.exe", ReadBytes(here + L"kasumiro-cli.exe"));

        RunResult run = RunAndCapture(cli + L" --version");
        ASSERT_TRUE(run.finished) << "start error " << run.startError;
        EXPECT_EQ(run.exitCode, 0u) << run.err;

        run = RunAndCapture(cli + L" organize --settings \"" + settings_ + L"\" --output \"" + output_ +
                            L"\" --input \"" + card_ + L"\" --format 13 --album --kinds photo --yes");
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_NE(Utf8ToWide(run.err).find(L"写真の整理は完了しましたが、" + std::wstring(broken.named)),
                  std::wstring::npos)
            << run.err;
        EXPECT_NE(Utf8ToWide(run.err).find(L"が見つからないため、写真一覧HTMLのサムネイルを作成できません"),
                  std::wstring::npos)
            << run.err;
        EXPECT_TRUE(FileExists(output_ + L"\\2011年\\05月\\06日\\IMG_0002.JPG"));
        EXPECT_EQ(ReadBytes(oldIndex), (Bytes{'o', 'l', 'd'}));
    }
}

TEST_F(CliOrganizeTest, AlbumUsageErrorsExitTwo)
{
    const std::wstring cli = QuotedProgram(L"kasumiro-cli.exe") + L" album";
    for (const std::wstring& arguments :
         {std::wstring(), std::wstring(L" --output"), std::wstring(L" --output \"" + root_.File(L"absent") + L"\""),
          std::wstring(L" --output \"" + root_.File(L"settings.ini") + L"\""), std::wstring(L" --everything")}) {
        const RunResult run = RunAndCapture(cli + arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 2u) << Utf8ToWide(run.err);
        EXPECT_EQ(run.err.rfind("album: ", 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(FileExists(root_.File(L"absent")));
}

}  // namespace
