#pragma once
// The 23 layouts of the output folder: the combo box's label and the pattern that turns a
// capture date into a folder name (a backslash makes nested folders).

#include <windows.h>

#include <string>
#include <vector>

constexpr int kDateFolderFormatCount = 23;
// What a format index outside the table (a hand-edited settings file, a combo box without
// a selection) is taken as: the default layout, YYYY-MM.
constexpr int kDefaultDateFolderFormat = 3;

constexpr int NormalizedFormatIndex(int formatIndex)
{
    return formatIndex >= 0 && formatIndex < kDateFolderFormatCount ? formatIndex : kDefaultDateFolderFormat;
}

// The combo box label of a format index ("YYYY-MM"); the default layout's for an index
// outside the table.
const wchar_t* DateFolderFormatLabel(int formatIndex);

// The folder name of a capture date under a format index; never empty.
std::wstring MakeDateFolderName(const SYSTEMTIME& date, int formatIndex);

// The folder names of three sample dates of the year, as a layout's preview shows them: the
// years, months or days the layout tells apart, from the first of January on.
std::vector<std::wstring> PreviewFolderNames(int formatIndex, int year);
