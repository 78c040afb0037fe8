#include "organize/date_folder_format.h"

#include <gtest/gtest.h>


namespace {

SYSTEMTIME Date(WORD year, WORD month, WORD day)
{
    SYSTEMTIME date{};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    return date;
}

TEST(DateFolderFormatTest, EveryLayoutOfTheExampleDate)
{
    const wchar_t* expected[kDateFolderFormatCount] = {
        L"2024",         L"202407",         L"20240705",   L"2024-07",        L"2024-07-05",
        L"2024_07",      L"2024_07_05",     L"2024\\07",   L"2024\\07\\05",   L"2024年",
        L"2024年07月",   L"2024年07月05日", L"2024年\\07月", L"2024年\\07月\\05日", L"24",
        L"2407",         L"240705",         L"24-07",      L"24-07-05",       L"24_07",
        L"24_07_05",     L"24\\07",         L"24\\07\\05"};
    const wchar_t* labels[kDateFolderFormatCount] = {
        L"YYYY",    L"YYYYMM",   L"YYYYMMDD", L"YYYY-MM",       L"YYYY-MM-DD",     L"YYYY_MM",
        L"YYYY_MM_DD", L"YYYY/MM", L"YYYY/MM/DD", L"YYYY年",    L"YYYY年MM月",     L"YYYY年MM月DD日",
        L"YYYY年/MM月", L"YYYY年/MM月/DD日", L"YY", L"YYMM",    L"YYMMDD",         L"YY-MM",
        L"YY-MM-DD", L"YY_MM",   L"YY_MM_DD", L"YY/MM",         L"YY/MM/DD"};
    for (int i = 0; i < kDateFolderFormatCount; ++i) {
        EXPECT_EQ(MakeDateFolderName(Date(2024, 7, 5), i), expected[i]) << "index " << i;
        EXPECT_STREQ(DateFolderFormatLabel(i), labels[i]) << "index " << i;
    }
}

TEST(DateFolderFormatTest, ShortYearsAndWideYears)
{
    EXPECT_EQ(MakeDateFolderName(Date(2024, 1, 9), 8), L"2024\\01\\09");
    EXPECT_EQ(MakeDateFolderName(Date(2005, 3, 3), 14), L"05");
    EXPECT_EQ(MakeDateFolderName(Date(1999, 12, 31), 16), L"991231");
    EXPECT_EQ(MakeDateFolderName(Date(12345, 6, 7), 4), L"12345-06-07");
    EXPECT_EQ(MakeDateFolderName(Date(12345, 6, 7), 15), L"4506");
}

TEST(DateFolderFormatTest, AnIndexOutsideTheTableUsesTheDefaultLayout)
{
    for (int index : {-1, 23, 1000, -2147483647 - 1, 2147483647}) {
        EXPECT_EQ(MakeDateFolderName(Date(2024, 7, 5), index), L"2024-07") << "index " << index;
        EXPECT_STREQ(DateFolderFormatLabel(index), L"YYYY-MM");
    }
}

}  // namespace
