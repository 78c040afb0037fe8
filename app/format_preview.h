#pragma once
// The sample folder tree the main window shows for a layout: what the output folder will
// look like, for this year.

#include <string>
#include <vector>

struct PreviewNode {
    std::wstring text;
    std::vector<PreviewNode> children;
    bool operator==(const PreviewNode&) const = default;
};

// The nodes below the root for a layout index (the default layout's for one outside the
// table) and a four-digit year: the layout's folders for three dates of that year (or of it
// and the two after it), with a year's folder that holds others shown by its number alone.
std::vector<PreviewNode> FormatPreviewNodes(int formatIndex, int year);
