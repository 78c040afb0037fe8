#include "base/log_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <thread>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"
#include "base/handles.h"

namespace {

constexpr size_t kPrefixChars = 26;
const std::wregex kPrefix(LR"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\.\d{3} : )");

// Makes a file of exactly `size` bytes that starts with a byte-order mark, without writing
// 32 MiB by hand.
void MakeFileOfSize(const std::wstring& path, LONGLONG size)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    const unsigned char bom[] = {0xFF, 0xFE};
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), bom, 2, &written, nullptr));
    LARGE_INTEGER end{};
    end.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.get()));
}

std::vector<std::wstring> SplitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end = text.find(L"\r\n"); end != std::wstring::npos;
         end = text.find(L"\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, text.size()) << "text after the last line break";
    return lines;
}

class LogFileTest : public testing::Test {
protected:
    TempFolder folder_;
    std::wstring path_ = folder_.File(L"log.txt");
    LogFile log_;
    void SetUp() override { log_.SetPath(path_); }
};

TEST_F(LogFileTest, FirstLineIsBomPrefixTextAndLineBreak)
{
    log_.Write(L"DataFolderPath = \"%s\" (%d)", L"C:\\写真", 7);

    const Bytes bytes = ReadBytes(path_);
    const std::wstring text = L"DataFolderPath = \"C:\\写真\" (7)";
    ASSERT_EQ(bytes.size(), 2 + (kPrefixChars + text.size() + 2) * 2);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    const std::wstring content = ReadUtf16Text(path_);
    EXPECT_TRUE(std::regex_match(content.substr(0, kPrefixChars), kPrefix)) << content;
    EXPECT_EQ(content.substr(kPrefixChars), text + L"\r\n");
    const Bytes tail(bytes.end() - 4, bytes.end());
    EXPECT_EQ(tail, (Bytes{0x0D, 0x00, 0x0A, 0x00}));
}

TEST_F(LogFileTest, LaterLinesAppendWithoutAnotherBom)
{
    log_.Write(L"one");
    log_.Write(L"\r\n★★★★★ アプリ起動 ★★★★★");
    const std::wstring content = ReadUtf16Text(path_);
    EXPECT_EQ(CountOf(content, L"\xFEFF"), 0u);
    const auto lines = SplitLines(content);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(kPrefixChars), L"one");
    // A message that starts with a line break leaves the time stamp alone on its line.
    EXPECT_EQ(lines[1].size(), kPrefixChars);
    EXPECT_EQ(lines[2], L"★★★★★ アプリ起動 ★★★★★");
}

TEST_F(LogFileTest, LongMessageIsCutTo1039Characters)
{
    const std::wstring longText(1100, L'x');
    log_.Write(L"%s", longText.c_str());
    const auto lines = SplitLines(ReadUtf16Text(path_));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(kPrefixChars), std::wstring(1039, L'x'));

    // 1039 characters fit exactly; 1038 are untouched.
    log_.Write(L"%s", std::wstring(1039, L'y').c_str());
    log_.Write(L"%s", std::wstring(1038, L'z').c_str());
    const auto more = SplitLines(ReadUtf16Text(path_));
    ASSERT_EQ(more.size(), 3u);
    EXPECT_EQ(more[1].substr(kPrefixChars), std::wstring(1039, L'y'));
    EXPECT_EQ(more[2].substr(kPrefixChars), std::wstring(1038, L'z'));
}

TEST_F(LogFileTest, FileAtTheLimitIsAppendedTo)
{
    MakeFileOfSize(path_, LogFile::kSizeLimit);
    log_.Write(L"kept");
    EXPECT_EQ(FileSize(path_), LogFile::kSizeLimit + (kPrefixChars + 4 + 2) * 2);
}

TEST_F(LogFileTest, FileOverTheLimitStartsOverWithBom)
{
    MakeFileOfSize(path_, LogFile::kSizeLimit + 1);
    log_.Write(L"fresh");
    const Bytes bytes = ReadBytes(path_);
    ASSERT_EQ(bytes.size(), 2 + (kPrefixChars + 5 + 2) * 2);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(ReadUtf16Text(path_).substr(kPrefixChars), L"fresh\r\n");
}

TEST_F(LogFileTest, LineBeforeThePathIsSetIsLost)
{
    LogFile unset;
    unset.Write(L"nowhere %s", L"at all");
    EXPECT_TRUE(unset.Path().empty());
    EXPECT_FALSE(FileExists(path_));
}

TEST_F(LogFileTest, MissingFolderDropsTheLine)
{
    log_.SetPath(folder_.File(L"no such folder\\log.txt"));
    log_.Write(L"dropped");
    EXPECT_FALSE(FileExists(folder_.File(L"no such folder")));
}

TEST_F(LogFileTest, DeletedLogIsRecreatedWithBom)
{
    log_.Write(L"first");
    ASSERT_TRUE(DeleteFileW(path_.c_str()));
    log_.Write(L"second");
    const Bytes bytes = ReadBytes(path_);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(ReadUtf16Text(path_).substr(kPrefixChars), L"second\r\n");
}

TEST_F(LogFileTest, LogCanBeReadWhileItIsWritten)
{
    // Another program holding the log open for reading must not stop our lines.
    UniqueFile reader(CreateFileW(path_.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader);
    log_.Write(L"while open");
    EXPECT_EQ(ReadUtf16Text(path_).substr(kPrefixChars), L"while open\r\n");
}

TEST_F(LogFileTest, ThreadsWritingAtOnceGiveOnlyWholeLines)
{
    constexpr int kThreads = 8;
    constexpr int kLines = 150;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < kLines; ++i)
                log_.Write(L"thread %d line %d %s", t, i, L"写真の整理中");
        });
    }
    for (auto& thread : threads)
        thread.join();

    const std::wstring content = ReadUtf16Text(path_);
    EXPECT_EQ(CountOf(content, L"\xFEFF"), 0u);
    const auto lines = SplitLines(content);
    ASSERT_EQ(lines.size(), size_t{kThreads * kLines});
    const std::wregex whole(LR"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\.\d{3} : thread \d line \d+ 写真の整理中)");
    std::vector<int> perThread(kThreads, 0);
    for (const auto& line : lines) {
        ASSERT_TRUE(std::regex_match(line, whole)) << "torn line";
        ++perThread[line[kPrefixChars + 7] - L'0'];
    }
    for (int count : perThread)
        EXPECT_EQ(count, kLines);
}

}  // namespace
