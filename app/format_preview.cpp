#include "app/format_preview.h"

#include <cwctype>

#include "organize/date_folder_format.h"

namespace {

// A year's folder that holds folders of its own is shown by its number alone ("2024", "24"):
// the tree around it already says it is the year, and in the layouts that write "2024年\07月"
// the preview shows the bare year above the months, as it always did.
std::wstring YearNode(const std::wstring& level)
{
    std::size_t digits = 0;
    while (digits < level.size() && std::iswdigit(level[digits]))
        ++digits;
    return digits == 0 ? level : level.substr(0, digits);
}

// Files the folder name (levels joined by backslashes) into the tree, beside what it shares
// with the names before it.
void Insert(std::vector<PreviewNode>& nodes, const std::wstring& name)
{
    const std::size_t slash = name.find(L'\\');
    const std::wstring level = name.substr(0, slash);
    if (nodes.empty() || nodes.back().text != level)
        nodes.push_back(PreviewNode{level, {}});
    if (slash != std::wstring::npos)
        Insert(nodes.back().children, name.substr(slash + 1));
}

}  // namespace

std::vector<PreviewNode> FormatPreviewNodes(int formatIndex, int year)
{
    std::vector<PreviewNode> nodes;
    for (const std::wstring& name : PreviewFolderNames(formatIndex, year)) {
        // The names come from the layout's own pattern; only the year's folder above others
        // is told apart, as said above.
        const std::size_t slash = name.find(L'\\');
        Insert(nodes, slash == std::wstring::npos ? name : YearNode(name.substr(0, slash)) + name.substr(slash));
    }
    return nodes;
}
