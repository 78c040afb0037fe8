#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "base/paths.h"
#include "base/text_encoding.h"
#include "base/version.h"
#include "tests/metadata/metadata_test_data.h"
#include "tests/support/child_process.h"
#include "tests/support/host_files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"

namespace {

const std::wstring kCli = QuotedProgram(L"kasumiro-cli.exe");

TEST(CliTest, VersionPrintsNameAndNumber)
{
    const RunResult run = RunAndCapture(kCli + L" --version");
    ASSERT_TRUE(run.finished) << "start error " << run.startError;
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Utf8ToWide(run.out), std::wstring(kProductName) + L" " + kProductVersion + L"\n");
    EXPECT_EQ(run.err, "");
}

// A version resource value of a program beside the tests; empty when it has none.
std::wstring VersionValue(const std::wstring& program, const wchar_t* name)
{
    const std::wstring path = GetExeFolder() + L"\\" + program;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    std::vector<std::uint8_t> block(size);
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), key.c_str(), &value, &length) || length == 0)
        return std::wstring();
    return static_cast<const wchar_t*>(value);
}

TEST(CliTest, BothProgramsCarryTheProductsVersion)
{
    for (const wchar_t* program : {L"Kasumiro.exe", L"kasumiro-cli.exe"}) {
        EXPECT_EQ(VersionValue(program, L"ProductName"), L"Kasumiro") << program;
        EXPECT_EQ(VersionValue(program, L"ProductVersion"), kProductVersion) << program;
        EXPECT_EQ(VersionValue(program, L"FileVersion"), kProductVersion) << program;
        EXPECT_EQ(VersionValue(program, L"LegalCopyright"), L"Copyright (C) 2026 The Kasumiro developers") << program;
    }
    EXPECT_EQ(VersionValue(L"kasumiro-cli.exe", L"FileDescription"), L"Kasumiro コンソール版");
}

TEST(CliTest, NoArgumentsPrintsUsageAndExits2)
{
    const RunResult run = RunAndCapture(kCli);
    ASSERT_TRUE(run.finished) << "start error " << run.startError;
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("usage: kasumiro-cli"), std::string::npos) << run.err;
}

TEST(CliTest, UnknownCommandNamesItAndExits2)
{
    const RunResult run = RunAndCapture(kCli + L" 整理する --now");
    ASSERT_TRUE(run.finished) << "start error " << run.startError;
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.out, "");
    // Written to a file, the command's Japanese name arrives as UTF-8.
    EXPECT_NE(run.err.find("unknown command: \xE6\x95\xB4\xE7\x90\x86\xE3\x81\x99\xE3\x82\x8B"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("usage: kasumiro-cli"), std::string::npos);
}

TEST(CliTest, VersionTakesNoFurtherArguments)
{
    const RunResult run = RunAndCapture(kCli + L" --version extra");
    ASSERT_TRUE(run.finished) << "start error " << run.startError;
    EXPECT_EQ(run.exitCode, 2u);
}

}  // namespace

namespace {

std::wstring Quoted(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

TEST(CliInfoTest, OneLinePerFileInArgumentOrderAndErrorsDoNotStopIt)
{
    TempFolder folder;
    // A Japanese file name, and a copy that is not what its extension says.
    const std::wstring photo = folder.File(L"写真.jpg");
    ASSERT_TRUE(CopyFileW(RealTestFile("jpeg/mde_Apple_iPhone_5.jpg").c_str(), photo.c_str(), TRUE));
    const std::wstring disguised = folder.File(L"IMG_0002.heic");
    ASSERT_TRUE(CopyFileW(RealTestFile("jpeg/ianare_Kodak_CX7530.jpg").c_str(), disguised.c_str(), TRUE));
    const std::wstring missing = folder.File(L"none.jpg");
    ASSERT_TRUE(WriteBytes(folder.File(L"写真.xmp"), Bytes{'x'}));  // a sidecar: the picture's group

    const RunResult run = RunAndCapture(kCli + L" info " + Quoted(photo) + L" " + Quoted(missing) +
                                        L" " + Quoted(disguised));
    ASSERT_TRUE(run.finished) << "start error " << run.startError;
    EXPECT_EQ(run.exitCode, 1u);  // one file could not be read
    const std::wstring out = Utf8ToWide(run.out);
    std::vector<std::wstring> lines;
    for (size_t start = 0, end; (end = out.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(out.substr(start, end - start));
    ASSERT_EQ(lines.size(), 3u) << run.out;

    auto escaped = [](std::wstring path) {
        for (size_t at = path.find(L'\\'); at != std::wstring::npos; at = path.find(L'\\', at + 2))
            path.replace(at, 1, L"\\\\");
        return path;
    };
    EXPECT_EQ(lines[0], L"{\"file\": \"" + escaped(photo) +
                            L"\", \"format\": \"jpeg\", \"exif\": true, "
                            L"\"datetime_original\": \"2012:09:29 16:11:25\", "
                            L"\"datetime\": \"2012:09:29 16:11:25\", \"orientation\": 3, "
                            L"\"gps\": [47.627167, -122.337333], "
                            L"\"capture_date\": \"2012-09-29 16:11:25\", \"source\": \"exif\", "
                            L"\"group\": [\"写真.jpg\", \"写真.xmp\"]}");
    EXPECT_EQ(lines[1].rfind(L"{\"file\": \"" + escaped(missing) + L"\", \"error\": \"", 0), 0u) << lines[1];
    // Recognised by its bytes, not its extension.
    EXPECT_NE(lines[2].find(L"\"format\": \"jpeg\""), std::wstring::npos) << lines[2];
    EXPECT_NE(lines[2].find(L"\"gps\": [-0.371300, 36.056417]"), std::wstring::npos) << lines[2];
}

TEST(CliInfoTest, FormatAddsTheDateFolder)
{
    const std::wstring heif = RealTestFile("heif/mde_exif-at-eof.heic");
    const RunResult run = RunAndCapture(kCli + L" info --format 13 " + Quoted(heif));
    ASSERT_TRUE(run.finished) << "start error " << run.startError;
    EXPECT_EQ(run.exitCode, 0u);
    const std::wstring out = Utf8ToWide(run.out);
    EXPECT_NE(out.find(L"\"capture_date\": \"2020-05-04 18:39:11\", \"source\": \"heif\", "
                       L"\"folder\": \"2020年\\\\05月\\\\04日\", \"group\": null}"),
              std::wstring::npos)
        << run.out;
}

// A phone's local time in its names is taken as it stands; a Pixel's names are in UTC, and are
// told in the time zone of the run, here Japan's. A program takes its time zone from the
// host's TZ when it starts, so the console program is started from the host with it.
TEST(CliInfoTest, NameDatesInAJapaneseTimeZone)
{
    TempFolder folder;
    const std::wstring pixel = folder.File(L"PXL_20230421_031415926.jpg");
    const std::wstring phone = folder.File(L"IMG_20230420_101112.jpg");
    ASSERT_TRUE(WriteBytes(pixel, Bytes{'p'}) && WriteBytes(phone, Bytes{'i'}));
    const std::wstring out = folder.File(L"info.txt");
    ASSERT_TRUE(RunHostCommand("TZ=JST-9 /usr/lib/wine/wine64 '" + HostPathOf(GetExeFolder() + L"\\kasumiro-cli.exe") +
                               "' info '" + ToUtf8(pixel) + "' '" + ToUtf8(phone) + "' > '" + HostPathOf(out) + "' 2>&1"));
    const Bytes bytes = ReadBytes(out);
    const std::string lines(bytes.begin(), bytes.end());
    EXPECT_NE(lines.find("\"capture_date\": \"2023-04-21 12:14:15\", \"source\": \"name\""), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("\"capture_date\": \"2023-04-20 10:11:12\", \"source\": \"name\""), std::string::npos)
        << lines;
}

TEST(CliInfoTest, UsageErrors)
{
    for (const wchar_t* arguments : {L" info", L" info --format", L" info --format 23 a.jpg",
                                     L" info --format x a.jpg", L" info a.jpg --format -1"}) {
        const RunResult run = RunAndCapture(kCli + arguments);
        ASSERT_TRUE(run.finished) << "start error " << run.startError;
        EXPECT_EQ(run.exitCode, 2u) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
    }
}

}  // namespace
