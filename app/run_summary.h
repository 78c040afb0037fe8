#pragma once
// What a run did with the files it met, kept for the window that shows it afterwards: a count
// of every outcome, and each file that was not copied with why, and where the copy that holds
// its bytes is. A run of 200,000 files copies most of them, and what it copied is only
// counted; the files kept hold each folder's path once and their names in one buffer.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "organize/run_report.h"

// The reason the list gives a file whose bytes are in the output folder already.
extern const wchar_t kAlreadyThereReason[];

class RunSummary : public RunReportSink {
public:
    struct ReasonCount {
        std::wstring reason;  // as the run gave it
        int count = 0;
    };

    // Told by the run's thread; read once the run has ended.
    void OnFile(const FileReport& file) override;

    int Copied() const { return copied_; }
    int AlreadyThere() const { return alreadyThere_; }
    int NotOrganized() const { return notOrganized_; }
    // Copied files that carried no date, inside or in their names: dated by their last write.
    int DatedByLastWrite() const { return datedByLastWrite_; }
    // The files and folders not organized, counted by reason, each reason where it first came.
    const std::vector<ReasonCount>& Reasons() const { return reasons_; }

    // The files not copied, in the order the run told them.
    std::size_t NotCopiedCount() const { return files_.size(); }
    std::wstring PathOf(std::size_t file) const { return Text(files_[file].path); }
    // The copy in the output folder that holds the file's bytes; empty for a file not organized.
    std::wstring TwinOf(std::size_t file) const { return Text(files_[file].twin); }
    const wchar_t* ReasonOf(std::size_t file) const;
    bool IsAlreadyThere(std::size_t file) const { return files_[file].reason == kAlreadyThereIndex; }

private:
    // A path as a folder kept once and a name in the names' buffer.
    struct PathRef {
        std::uint32_t folder = kNoFolder;
        std::uint32_t nameLength = 0;
        std::size_t nameOffset = 0;
    };
    struct NotCopied {
        PathRef path;
        PathRef twin;
        std::int32_t reason = kAlreadyThereIndex;  // into reasons_
    };
    static constexpr std::uint32_t kNoFolder = UINT32_MAX;
    static constexpr std::int32_t kAlreadyThereIndex = -1;

    PathRef Keep(const std::wstring& path);
    std::wstring Text(const PathRef& path) const;
    std::int32_t CountReason(const std::wstring& reason);

    int copied_ = 0;
    int alreadyThere_ = 0;
    int notOrganized_ = 0;
    int datedByLastWrite_ = 0;
    std::vector<ReasonCount> reasons_;
    std::vector<NotCopied> files_;
    // Each folder once, as a key of the index; folders_ points at the keys by number.
    std::unordered_map<std::wstring, std::uint32_t> folderIndex_;
    std::vector<const std::wstring*> folders_;
    std::wstring names_;
};
