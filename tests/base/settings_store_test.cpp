#include "base/settings_store.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"

namespace {

class SettingsStoreTest : public testing::Test {
protected:
    TempFolder folder_;
    std::wstring path_ = folder_.File(L"Lumidex.ini");
    SettingsStore store_;
    void SetUp() override { store_.Open(path_); }
};

TEST_F(SettingsStoreTest, OpenCreatesAFileHoldingOnlyTheBom)
{
    EXPECT_EQ(ReadBytes(path_), (Bytes{0xFF, 0xFE}));
    EXPECT_EQ(store_.Path(), path_);
}

TEST_F(SettingsStoreTest, OpenLeavesAnExistingFileAlone)
{
    EXPECT_TRUE(store_.SetInt(L"APP_INFO", L"rand_seed", 42));
    const Bytes before = ReadBytes(path_);
    SettingsStore again;
    again.Open(path_);
    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_EQ(again.GetInt(L"APP_INFO", L"rand_seed", 0), 42);
}

TEST_F(SettingsStoreTest, MissingKeysAndFilesGiveTheCallersDefault)
{
    EXPECT_EQ(store_.GetInt(L"APP_INFO", L"OutputFormatType", 3), 3);
    EXPECT_EQ(store_.GetString(L"APP_INFO", L"OutputFolder", L""), L"");
    EXPECT_EQ(store_.GetString(L"VERSION", L"next_version", L"0.0.0.0"), L"0.0.0.0");

    SettingsStore unopened;  // no path yet: reads give defaults, writes go nowhere
    EXPECT_FALSE(unopened.SetInt(L"APP_INFO", L"arrnge_photo", 0));
    EXPECT_EQ(unopened.GetInt(L"APP_INFO", L"arrnge_photo", 1), 1);

    SettingsStore missing;
    missing.Open(folder_.File(L"no such folder\\Lumidex.ini"));
    EXPECT_EQ(missing.GetInt(L"APP_INFO", L"MakePhotoHtml", 1), 1);
}

TEST_F(SettingsStoreTest, IntegersRoundTripAsSignedDecimal)
{
    EXPECT_TRUE(store_.SetInt(L"APP_INFO", L"rand_seed", -5));
    EXPECT_TRUE(store_.SetInt(L"APP_INFO", L"OutputFormatType", 22));
    EXPECT_EQ(store_.GetInt(L"APP_INFO", L"rand_seed", 0), -5);
    EXPECT_EQ(store_.GetInt(L"app_info", L"OUTPUTFORMATTYPE", 3), 22);  // names ignore case
    EXPECT_EQ(store_.GetString(L"APP_INFO", L"rand_seed", L""), L"-5");
}

TEST_F(SettingsStoreTest, Hex64ReadsBothHalves)
{
    EXPECT_TRUE(store_.SetString(L"VERSION", L"next_notify", L"0000001a:80000000"));
    EXPECT_EQ(store_.GetHex64(L"VERSION", L"next_notify", 0, 0), 0x0000001A80000000ull);
    EXPECT_TRUE(store_.SetString(L"VERSION", L"next_notify", L"FFFFFFFF:0000ffff"));
    EXPECT_EQ(store_.GetHex64(L"VERSION", L"next_notify", 0, 0), 0xFFFFFFFF0000FFFFull);
    EXPECT_EQ(store_.GetHex64(L"VERSION", L"missing", 0x12, 0x34), 0x0000001200000034ull);
    // Too short for the low half: the high half alone.
    EXPECT_TRUE(store_.SetString(L"VERSION", L"short", L"1a"));
    EXPECT_EQ(store_.GetHex64(L"VERSION", L"short", 7, 7), 0x0000001A00000000ull);
}

// A folder as deep as Windows allows comes back whole: a cut one would name another folder.
TEST_F(SettingsStoreTest, PathsOfAnyLengthReadBackWhole)
{
    for (const std::size_t length : {std::size_t{4095}, std::size_t{4096}, std::size_t{32000}}) {
        const std::wstring value = L"D:\\" + std::wstring(length - 3, L'写');
        EXPECT_TRUE(store_.SetString(L"APP_INFO", L"OutputFolder", value.c_str()));
        EXPECT_EQ(store_.GetString(L"APP_INFO", L"OutputFolder", L""), value) << length;
    }
}

TEST_F(SettingsStoreTest, JapaneseFolderNamesAreKeptAsUtf16)
{
    const std::wstring folder = L"D:\\写真\\二〇二四年 夏休み";
    EXPECT_TRUE(store_.SetString(L"APP_INFO", L"OutputFolder", folder.c_str()));
    EXPECT_EQ(store_.GetString(L"APP_INFO", L"OutputFolder", L""), folder);

    SettingsStore reopened;
    reopened.Open(path_);
    EXPECT_EQ(reopened.GetString(L"APP_INFO", L"OutputFolder", L""), folder);
    const Bytes bytes = ReadBytes(path_);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    const Bytes wanted = Utf16Bytes(folder);
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), wanted.begin(), wanted.end()), bytes.end());
}

TEST_F(SettingsStoreTest, ShorterHistoryLeavesNoItemOfTheLongerOne)
{
    EXPECT_TRUE(store_.ReplaceList(L"FOLDER_HISTORY", {L"A:\\1", L"B:\\2", L"C:\\3", L"D:\\4", L"E:\\5"}));
    EXPECT_TRUE(store_.ReplaceList(L"FOLDER_HISTORY", {L"F:\\写真", L"G:"}));

    EXPECT_EQ(store_.GetInt(L"FOLDER_HISTORY", L"count", 0), 2);
    EXPECT_EQ(store_.GetString(L"FOLDER_HISTORY", L"item0", L""), L"F:\\写真");
    EXPECT_EQ(store_.GetString(L"FOLDER_HISTORY", L"item1", L""), L"G:");
    for (int i = 2; i < 5; ++i)
        EXPECT_EQ(store_.GetString(L"FOLDER_HISTORY", SettingsStore::MakeItemKey(L"item", i).c_str(),
                                 L"gone"),
                  L"gone");
    // The whole section holds the count and the two items, nothing else.
    wchar_t keys[1024] = {};
    const DWORD length = GetPrivateProfileSectionW(L"FOLDER_HISTORY", keys, 1024, path_.c_str());
    std::vector<std::wstring> entries;
    for (const wchar_t* p = keys; p < keys + length && *p; p += wcslen(p) + 1)
        entries.emplace_back(p);
    EXPECT_EQ(entries, (std::vector<std::wstring>{L"count=2", L"item0=F:\\写真", L"item1=G:"}));
}

TEST_F(SettingsStoreTest, ListReadersSkipEmptyItems)
{
    EXPECT_TRUE(store_.SetInt(L"FOLDER_HISTORY", L"count", 4));
    EXPECT_TRUE(store_.SetString(L"FOLDER_HISTORY", L"item0", L"C:\\a"));
    EXPECT_TRUE(store_.SetString(L"FOLDER_HISTORY", L"item2", L"C:\\c"));
    EXPECT_TRUE(store_.SetString(L"FOLDER_HISTORY", L"item3", L""));
    EXPECT_EQ(store_.GetList(L"FOLDER_HISTORY"), (std::vector<std::wstring>{L"C:\\a", L"C:\\c"}));
    EXPECT_TRUE(store_.GetList(L"COMPARE_EXT_INFO").empty());
}

TEST_F(SettingsStoreTest, MakeItemKeyAppendsTheIndex)
{
    EXPECT_EQ(SettingsStore::MakeItemKey(L"item", 0), L"item0");
    EXPECT_EQ(SettingsStore::MakeItemKey(L"item", 1234), L"item1234");
}

TEST_F(SettingsStoreTest, DeleteSectionRemovesEveryKey)
{
    EXPECT_TRUE(store_.SetInt(L"VERSION", L"force", 1));
    EXPECT_TRUE(store_.SetInt(L"VERSION", L"notify", 1));
    EXPECT_TRUE(store_.SetInt(L"APP_INFO", L"rand_seed", 9));
    EXPECT_TRUE(store_.DeleteSection(L"VERSION"));
    EXPECT_EQ(store_.GetInt(L"VERSION", L"force", 0), 0);
    EXPECT_EQ(store_.GetInt(L"VERSION", L"notify", 0), 0);
    EXPECT_EQ(store_.GetInt(L"APP_INFO", L"rand_seed", 0), 9);
}

}  // namespace
