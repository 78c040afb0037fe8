#include "app/format_preview.h"

#include "organize/date_folder_format.h"

namespace {

std::vector<PreviewNode> Leaves(std::initializer_list<std::wstring> texts)
{
    std::vector<PreviewNode> nodes;
    for (const std::wstring& text : texts)
        nodes.push_back(PreviewNode{text, {}});
    return nodes;
}

std::wstring Pad2(int value)
{
    return (value < 10 ? L"0" : L"") + std::to_wstring(value);
}

}  // namespace

std::vector<PreviewNode> FormatPreviewNodes(int formatIndex, int year)
{
    const int index = formatIndex >= 0 && formatIndex < kDateFolderFormatCount ? formatIndex : kDefaultDateFolderFormat;
    const std::wstring Y = std::to_wstring(year);  // four digits for any year of this era
    const std::wstring y = Pad2(year % 100);
    // The short layouts name the year by its last two digits.
    const std::wstring& base = index >= 14 ? y : Y;
    switch (index) {
    case 0:
        return Leaves({Y, std::to_wstring(year + 1), std::to_wstring(year + 2)});
    case 14:
        return Leaves({Y.substr(2), std::to_wstring(year + 1).substr(2), std::to_wstring(year + 2).substr(2)});
    case 1:
    case 15:
        return Leaves({base + L"01", base + L"02", base + L"03"});
    case 2:
    case 16:
        return Leaves({base + L"0101", base + L"0201", base + L"0301"});
    case 3:
    case 17:
        return Leaves({base + L"-01", base + L"-02", base + L"-03"});
    case 4:
    case 18:
        return Leaves({base + L"-01-01", base + L"-02-01", base + L"-03-01"});
    case 5:
    case 19:
        return Leaves({base + L"_01", base + L"_02", base + L"_03"});
    case 6:
    case 20:
        return Leaves({base + L"_01_01", base + L"_02_01", base + L"_03_01"});
    case 7:
    case 21:
        return {PreviewNode{base, Leaves({L"01", L"02", L"03"})}};
    case 8:
    case 22:
        return {PreviewNode{base, {PreviewNode{L"01", Leaves({L"01", L"02", L"03"})}}}};
    case 9:
        return Leaves({Y + L"年", std::to_wstring(year + 1) + L"年", std::to_wstring(year + 2) + L"年"});
    case 10:
        return Leaves({Y + L"年01月", Y + L"年02月", Y + L"年03月"});
    case 11:
        return Leaves({Y + L"年01月01日", Y + L"年01月02日", Y + L"年01月03日"});
    case 12:
        return {PreviewNode{Y, Leaves({L"01月", L"02月", L"03月"})}};
    case 13:
        return {PreviewNode{Y, {PreviewNode{L"01月", Leaves({L"01日", L"02日", L"03日"})}}}};
    }
    return {};
}
