#pragma once
// The rows of the list of files a run did not copy, as the window of its results shows them:
// those whose file, reason or twin holds the text searched for (in any case), in the order of
// the column sorted by, or in the order the run met them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/run_summary.h"

class NotCopiedRows {
public:
    enum Column { kFileColumn, kReasonColumn, kTwinColumn, kColumnCount };
    static const wchar_t* Caption(int column);

    // The summary stays the caller's and must outlive the rows. All its files are shown.
    explicit NotCopiedRows(const RunSummary* summary);

    // Shows the files with `wanted` in a cell (all of them for an empty text), in the order
    // sorted by.
    void Find(const std::wstring& wanted);
    // Sorts by a column as Explorer sorts names (digits by their value, case aside); files
    // that tie go in the run's order.
    void SortBy(int column, bool ascending);

    std::size_t Count() const { return shown_.size(); }
    // The summary's file at a row, and the row of a file of the summary (-1 when not shown).
    std::size_t FileAt(std::size_t row) const { return shown_[row]; }
    std::int64_t RowOf(std::size_t file) const;
    std::wstring Cell(std::size_t row, int column) const { return CellOf(shown_[row], column); }
    // The rows as tab-separated text: a header line, then a line a row, each ending in CRLF.
    std::wstring Text() const;

private:
    std::wstring CellOf(std::size_t file, int column) const;
    bool Matches(std::size_t file, const std::wstring& wanted) const;
    void Sort();

    const RunSummary* summary_;
    std::vector<std::uint32_t> shown_;  // the summary's files, in the order shown
    std::optional<std::wstring> searched_;  // the text shown_ was found with
    int sortColumn_ = -1;
    bool ascending_ = true;
};
