#include "app/format_preview.h"

#include "organize/date_folder_format.h"

namespace {

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
    for (const std::wstring& name : PreviewFolderNames(formatIndex, year))
        Insert(nodes, name);
    return nodes;
}
