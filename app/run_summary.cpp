#include "app/run_summary.h"

const wchar_t kAlreadyThereReason[] = L"出力先に同じ内容のファイルがあります";

void RunSummary::OnFile(const FileReport& file)
{
    switch (file.outcome) {
    case FileOutcome::kCopied:
        ++copied_;
        datedByLastWrite_ += file.dateSource == CaptureDateSource::kLastWrite ? 1 : 0;
        return;
    case FileOutcome::kAlreadyThere:
        ++alreadyThere_;
        files_.push_back(NotCopied{Keep(file.path), Keep(file.destination), kAlreadyThereIndex});
        return;
    case FileOutcome::kNotOrganized:
        ++notOrganized_;
        // Where the run meant to put it is no copy of it: the file has none to show.
        files_.push_back(NotCopied{Keep(file.path), PathRef{}, CountReason(file.reason)});
        return;
    }
}

const wchar_t* RunSummary::ReasonOf(std::size_t file) const
{
    const std::int32_t reason = files_[file].reason;
    return reason == kAlreadyThereIndex ? kAlreadyThereReason : reasons_[static_cast<std::size_t>(reason)].reason.c_str();
}

std::int32_t RunSummary::CountReason(const std::wstring& reason)
{
    for (std::size_t i = 0; i < reasons_.size(); ++i) {
        if (reasons_[i].reason == reason) {
            ++reasons_[i].count;
            return static_cast<std::int32_t>(i);
        }
    }
    reasons_.push_back(ReasonCount{reason, 1});
    return static_cast<std::int32_t>(reasons_.size() - 1);
}

RunSummary::PathRef RunSummary::Keep(const std::wstring& path)
{
    if (path.empty())
        return PathRef{};
    const std::size_t cut = path.find_last_of(L'\\');
    const std::wstring folder = cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
    const auto [at, added] = folderIndex_.emplace(folder, static_cast<std::uint32_t>(folders_.size()));
    if (added)
        folders_.push_back(&at->first);
    const std::size_t nameStart = cut == std::wstring::npos ? 0 : cut + 1;
    PathRef ref;
    ref.folder = at->second;
    ref.nameOffset = names_.size();
    ref.nameLength = static_cast<std::uint32_t>(path.size() - nameStart);
    names_.append(path, nameStart, std::wstring::npos);
    return ref;
}

std::wstring RunSummary::Text(const PathRef& path) const
{
    if (path.folder == kNoFolder)
        return std::wstring();
    return *folders_[path.folder] + names_.substr(path.nameOffset, path.nameLength);
}
