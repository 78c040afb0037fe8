#include "organize/organize_settings.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <iterator>

#include "base/settings_store.h"
#include "tests/support/temp_folder.h"

namespace {

// Settings in a fresh file of their own, put back as they were afterwards.
class OrganizeSettingsTest : public testing::Test {
protected:
    TempFolder folder_;
    std::wstring savedPath_ = g_SettingsStore.Path();
    void SetUp() override { g_SettingsStore.Open(folder_.File(L"Lumidex.ini")); }
    void TearDown() override { g_SettingsStore.Open(savedPath_); }

    static std::vector<std::wstring> Extensions(const ExtensionList& list)
    {
        std::vector<std::wstring> out;
        for (const auto& entry : list.Entries())
            out.push_back(entry.extension);
        return out;
    }
};

TEST_F(OrganizeSettingsTest, FirstStartHasTheBuiltInListsAllOnAndPhotosOnly)
{
    OrganizeSettings settings;
    settings.Load();
    EXPECT_EQ(settings.PhotoList.Entries().size(), 24u);
    EXPECT_EQ(settings.MovieList.Entries().size(), 42u);
    EXPECT_EQ(settings.SoundList.Entries().size(), 4u);
    for (const ExtensionList* list : {&settings.PhotoList, &settings.MovieList, &settings.SoundList}) {
        const auto extensions = Extensions(*list);
        EXPECT_TRUE(std::is_sorted(extensions.begin(), extensions.end()));
        for (const auto& entry : list->Entries()) {
            EXPECT_EQ(entry.enabled, 1);
            EXPECT_EQ(entry.builtIn, 1);
        }
    }
    EXPECT_EQ(Extensions(settings.SoundList), (std::vector<std::wstring>{L".aac", L".m4a", L".mp3", L".wav"}));
    EXPECT_EQ(settings.ArrangePhoto, 1);
    EXPECT_EQ(settings.ArrangeMovie + settings.ArrangeSound + settings.ArrangeEtc, 0);
    EXPECT_EQ(settings.OutputFormatType, 3);
    EXPECT_TRUE(settings.ShouldOrganize(L".JPG"));
    for (const wchar_t* extension : {L".tif", L".tiff", L".webp", L".cr3", L".raf", L".jxl"})
        EXPECT_TRUE(settings.ShouldOrganize(extension)) << testing::PrintToString(std::wstring(extension));
    EXPECT_FALSE(settings.ShouldOrganize(L".mov"));
    EXPECT_FALSE(settings.ShouldOrganize(L""));
}

TEST_F(OrganizeSettingsTest, ALayoutNumberOutsideTheTableIsTheDefaultLayout)
{
    for (const int stored : {99, -1, 23}) {
        EXPECT_TRUE(g_SettingsStore.SetInt(L"APP_INFO", L"OutputFormatType", stored));
        OrganizeSettings settings;
        settings.Load();
        EXPECT_EQ(settings.OutputFormatType, 3) << stored;
        settings.SetRunValues(stored, false, false);  // a combo box without a selection
        EXPECT_EQ(settings.OutputFormatType, 3) << stored;
    }
    EXPECT_TRUE(g_SettingsStore.SetInt(L"APP_INFO", L"OutputFormatType", 22));
    OrganizeSettings settings;
    settings.Load();
    EXPECT_EQ(settings.OutputFormatType, 22);
}

TEST_F(OrganizeSettingsTest, StoredSwitchesAndUserExtensions)
{
    EXPECT_TRUE(g_SettingsStore.SetInt(L"COMPARE_EXT_INFO_PIC", L"count", 5));
    EXPECT_TRUE(g_SettingsStore.SetString(L"COMPARE_EXT_INFO_PIC", L"item0", L"0|.cr2"));
    EXPECT_TRUE(g_SettingsStore.SetString(L"COMPARE_EXT_INFO_PIC", L"item1", L"1|.XYZ"));
    EXPECT_TRUE(g_SettingsStore.SetString(L"COMPARE_EXT_INFO_PIC", L"item2", L"1|"));   // two characters: skipped
    EXPECT_TRUE(g_SettingsStore.SetString(L"COMPARE_EXT_INFO_PIC", L"item3", L""));
    EXPECT_TRUE(g_SettingsStore.SetString(L"COMPARE_EXT_INFO_PIC", L"item4", L"x?.jpg"));  // not "1": off
    OrganizeSettings settings;
    settings.Load();
    EXPECT_EQ(settings.PhotoList.Entries().size(), 25u);
    EXPECT_FALSE(settings.ShouldOrganize(L".CR2"));
    EXPECT_FALSE(settings.ShouldOrganize(L".jpg"));
    EXPECT_TRUE(settings.ShouldOrganize(L".xyz"));
    ExtensionEntry user;
    ASSERT_TRUE(settings.PhotoList.Find(L".Xyz", &user));
    EXPECT_EQ(user.builtIn, 0);

    // Saving writes every entry, built-in ones too; a shorter list leaves old keys behind.
    settings.PhotoList.Save();
    EXPECT_EQ(g_SettingsStore.GetInt(L"COMPARE_EXT_INFO_PIC", L"count", 0), 25);
    EXPECT_EQ(g_SettingsStore.GetString(L"COMPARE_EXT_INFO_PIC", L"item0", L""), L"1|.arw");
    auto& entries = settings.PhotoList.Entries();
    entries.erase(std::remove_if(entries.begin(), entries.end(), [](const ExtensionEntry& e) { return !e.builtIn; }),
                  entries.end());
    settings.PhotoList.Save();
    EXPECT_EQ(g_SettingsStore.GetInt(L"COMPARE_EXT_INFO_PIC", L"count", 0), 24);
    EXPECT_NE(g_SettingsStore.GetString(L"COMPARE_EXT_INFO_PIC", L"item24", L""), L"");
    OrganizeSettings reloaded;
    reloaded.Load();
    EXPECT_EQ(reloaded.PhotoList.Entries().size(), 24u);
    EXPECT_FALSE(reloaded.ShouldOrganize(L".cr2"));
}

TEST_F(OrganizeSettingsTest, HugeOrNegativeListCountsLeaveTheBuiltInLists)
{
    // Read item by item, these counts would hold the start up for minutes to days.
    for (const std::int32_t count : {1000000, 2147483647, -5, 1001}) {
        EXPECT_TRUE(g_SettingsStore.SetInt(L"COMPARE_EXT_INFO", L"count", count));
        EXPECT_TRUE(g_SettingsStore.SetString(L"COMPARE_EXT_INFO", L"item0", L"0|.mov"));
        EXPECT_TRUE(g_SettingsStore.SetString(L"COMPARE_EXT_INFO", L"item1", L"1|.abc"));
        OrganizeSettings settings;
        settings.Load();
        EXPECT_EQ(settings.MovieList.Entries().size(), 42u) << count;
        ExtensionEntry mov;
        ASSERT_TRUE(settings.MovieList.Find(L".mov", &mov));
        EXPECT_EQ(mov.enabled, 1) << count;
        EXPECT_EQ(g_SettingsStore.GetList(L"COMPARE_EXT_INFO").size(), 0u) << count;
    }
    // At the limit the list is read as it stands.
    EXPECT_TRUE(g_SettingsStore.SetInt(L"COMPARE_EXT_INFO", L"count", SettingsStore::kMaxListItems));
    OrganizeSettings settings;
    settings.Load();
    EXPECT_EQ(settings.MovieList.Entries().size(), 43u);
}

TEST_F(OrganizeSettingsTest, StoredItemsThatCannotBeExtensionsAreSkipped)
{
    const std::wstring tooLong = L"1|." + std::wstring(40, L'a');
    const wchar_t* items[] = {L"1|.a=b", L"1|.j;pg", L"1|*", L"1|.x y", L"1|..", L"1|.a\\b", tooLong.c_str(),
                              L"1|.ok"};
    EXPECT_TRUE(g_SettingsStore.SetInt(L"COMPARE_EXT_INFO_SND", L"count", static_cast<std::int32_t>(std::size(items))));
    for (size_t i = 0; i < std::size(items); ++i)
        EXPECT_TRUE(g_SettingsStore.SetString(L"COMPARE_EXT_INFO_SND",
                                              SettingsStore::MakeItemKey(L"item", static_cast<int>(i)).c_str(), items[i]));
    OrganizeSettings settings;
    settings.Load();
    EXPECT_EQ(Extensions(settings.SoundList), (std::vector<std::wstring>{L".aac", L".m4a", L".mp3", L".ok", L".wav"}));
}

TEST_F(OrganizeSettingsTest, AddItemKeepsExtensionsUnique)
{
    OrganizeSettings settings;
    settings.Load();
    ExtensionEntry item;
    item.extension = L".JPG";
    EXPECT_FALSE(settings.PhotoList.AddItem(item, true));
    item.extension = L".Aaa";
    EXPECT_TRUE(settings.PhotoList.AddItem(item, true));
    EXPECT_EQ(settings.PhotoList.Entries().front().extension, L".aaa");
    item.extension = L".zzz";
    EXPECT_TRUE(settings.PhotoList.AddItem(item, false));
    EXPECT_EQ(settings.PhotoList.Entries().back().extension, L".zzz");
}

TEST_F(OrganizeSettingsTest, UnknownExtensionsRule)
{
    OrganizeSettings settings;
    settings.Load();
    settings.ArrangePhoto = 0;
    settings.ArrangeMovie = 1;
    settings.ArrangeEtc = 1;
    for (auto& entry : settings.MovieList.Entries())
        if (entry.extension == L".mov")
            entry.enabled = 0;
    EXPECT_TRUE(settings.ShouldOrganize(L".jpg"));    // photos are not consulted: unknown
    EXPECT_FALSE(settings.ShouldOrganize(L".mov"));   // listed with its switch off
    EXPECT_TRUE(settings.ShouldOrganize(L".mp4"));
    EXPECT_TRUE(settings.ShouldOrganize(L""));        // a file without any dot
    EXPECT_TRUE(settings.ShouldOrganize(L".photos\\readme"));
    settings.ArrangeEtc = 0;
    EXPECT_FALSE(settings.ShouldOrganize(L".jpg"));
    EXPECT_FALSE(settings.ShouldOrganize(L""));
    EXPECT_TRUE(settings.ShouldOrganize(L".MP4"));
}

}  // namespace
