#include "app/not_copied_rows.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

const wchar_t* const kCaptions[] = {L"ファイル", L"理由", L"出力先にある同じファイル"};
static_assert(std::size(kCaptions) == NotCopiedRows::kColumnCount);

// Whether `text` holds `part`, in any case.
bool Holds(const std::wstring& text, const std::wstring& part)
{
    return FindStringOrdinal(FIND_FROMSTART, text.c_str(), static_cast<int>(text.size()), part.c_str(),
                             static_cast<int>(part.size()), TRUE) >= 0;
}

}  // namespace

const wchar_t* NotCopiedRows::Caption(int column)
{
    return kCaptions[column];
}

NotCopiedRows::NotCopiedRows(const RunSummary* summary) : summary_(summary)
{
    Find(L"");
}

std::wstring NotCopiedRows::CellOf(std::size_t file, int column) const
{
    switch (column) {
    case kFileColumn:
        return summary_->PathOf(file);
    case kReasonColumn:
        return summary_->ReasonOf(file);
    default:
        return summary_->TwinOf(file);
    }
}

bool NotCopiedRows::Matches(std::size_t file, const std::wstring& wanted) const
{
    for (int column = 0; column < kColumnCount; ++column) {
        if (Holds(CellOf(file, column), wanted))
            return true;
    }
    return wanted.empty();
}

void NotCopiedRows::Find(const std::wstring& wanted)
{
    // Typing on only narrows what is shown: a row without the shorter text lacks the longer
    // one too, and the rows left keep their order. Anything else looks through every file.
    if (searched_ && Holds(wanted, *searched_)) {
        std::erase_if(shown_, [&](std::uint32_t file) { return !Matches(file, wanted); });
    } else {
        shown_.clear();
        for (std::size_t file = 0; file < summary_->NotCopiedCount(); ++file) {
            if (Matches(file, wanted))
                shown_.push_back(static_cast<std::uint32_t>(file));
        }
        Sort();
    }
    searched_ = wanted;
}

void NotCopiedRows::SortBy(int column, bool ascending)
{
    sortColumn_ = column;
    ascending_ = ascending;
    Sort();
}

void NotCopiedRows::Sort()
{
    if (sortColumn_ < 0)
        return;  // in the order the run met them
    // Each key made once: the comparisons of a large list would otherwise build them anew.
    std::vector<std::pair<std::wstring, std::uint32_t>> keyed;
    keyed.reserve(shown_.size());
    for (const std::uint32_t file : shown_)
        keyed.emplace_back(CellOf(file, sortColumn_), file);
    // Ties go in the run's order, whichever column was sorted by before.
    std::sort(keyed.begin(), keyed.end(), [this](const auto& a, const auto& b) {
        const int order = StrCmpLogicalW(a.first.c_str(), b.first.c_str());
        if (order == 0)
            return a.second < b.second;
        return ascending_ ? order < 0 : order > 0;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        shown_[i] = keyed[i].second;
}

std::int64_t NotCopiedRows::RowOf(std::size_t file) const
{
    const auto at = std::find(shown_.begin(), shown_.end(), file);
    return at == shown_.end() ? -1 : at - shown_.begin();
}

std::wstring NotCopiedRows::Text() const
{
    std::wstring text;
    for (int column = 0; column < kColumnCount; ++column)
        text += (column ? L"\t" : L"") + std::wstring(kCaptions[column]);
    text += L"\r\n";
    for (const std::uint32_t file : shown_) {
        for (int column = 0; column < kColumnCount; ++column)
            text += (column ? L"\t" : L"") + CellOf(file, column);
        text += L"\r\n";
    }
    return text;
}
