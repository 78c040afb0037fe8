#include "organize/wanted_file_finder.h"

#include <algorithm>

#include "base/log_file.h"
#include "base/parallel_for.h"
#include "base/path_text.h"
#include "base/status_code.h"
#include "organize/output_names.h"

bool WantedFileFinder::Skips(const std::wstring& folder, const WIN32_FIND_DATAW& found)
{
    const std::wstring name = found.cFileName;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return IsOwnFileName(name);  // a record, a half-done copy, a half-saved record
    // An album or its cache, in an input that was once an output folder.
    if (!IsOwnFolderName(name))
        return false;
    g_Log.Write(L"写真一覧のフォルダのため省略しました = %s\\%s", folder.c_str(), name.c_str());
    return true;
}

namespace {

// At most this many files of a folder are read at once, and only in a folder of at least so
// many files to read: starting the workers costs more than reading a few small files (under
// Wine, a camera library of five files a folder was listed 1.6 times as slowly).
constexpr int kMaxListingReaders = 4;
constexpr std::size_t kFilesWorthReaders = 32;

// How much a date source is worth to a group: the date inside a file beats a photo export's
// time, which beats the name's date, which beats the last write.
int DateRank(CaptureDateSource source)
{
    switch (source) {
    case CaptureDateSource::kHeif:
    case CaptureDateSource::kExif:
    case CaptureDateSource::kMovie:
        return 4;
    case CaptureDateSource::kTakeout:
        return 3;
    case CaptureDateSource::kName:
        return 2;
    case CaptureDateSource::kLastWrite:
        return 1;
    case CaptureDateSource::kNone:
        break;
    }
    return 0;
}

}  // namespace

void WantedFileFinder::OnEnterFolder(const std::wstring& path)
{
    walking_.push_back(FolderFiles{path, {}});
}

void WantedFileFinder::OnFile(const std::wstring& folderPath, const WIN32_FIND_DATAW& found)
{
    // The extension runs from the last "." of the whole path: a file without one in a folder
    // named with a dot gets that folder's tail, which no list holds.
    const bool wanted = settings_->ShouldOrganize(ExtensionOf(folderPath + L"\\" + found.cFileName));
    const bool groups = settings_->KeepGroupsTogether != 0;
    const GroupRole role = groups ? GroupRoleOf(found.cFileName, *settings_) : GroupRole::kOther;
    if (!wanted && role != GroupRole::kSidecar)
        return;
    if (IsDeviceName(found.cFileName)) {
        if (wanted)
            LeaveOut(folderPath + L"\\" + found.cFileName, L"Windows がデバイスに使う名前のため整理できません = %s",
                     L"Windows がデバイスに使う名前です");
        return;
    }
    // A photo or movie of a kind not wanted is no group's main file: its sidecars stay too.
    const bool main = role == GroupRole::kPhoto || role == GroupRole::kMovie;
    const std::uint64_t size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    walking_.back().files.push_back(
        Met{found.cFileName, size, found.ftLastWriteTime, wanted, main && !wanted ? GroupRole::kOther : role, met_++});
}

void WantedFileFinder::OnLeaveFolder(const std::wstring& path)
{
    const FolderFiles folder = std::move(walking_.back());
    walking_.pop_back();
    std::vector<FileGroup> groups;
    std::vector<bool> grouped(folder.files.size(), false);
    if (settings_->KeepGroupsTogether && !ShouldStop()) {
        std::vector<GroupCandidate> candidates;
        for (const Met& met : folder.files)
            candidates.push_back(GroupCandidate{met.name, met.role});
        groups = FormFileGroups(candidates);
        for (const FileGroup& group : groups) {
            for (const std::size_t member : group.members)
                grouped[member] = true;
        }
    }
    // Every group's members are read, and every wanted file on its own.
    std::vector<bool> toRead(folder.files.size());
    for (std::size_t i = 0; i < folder.files.size(); ++i)
        toRead[i] = grouped[i] || folder.files[i].wanted;
    std::vector<FileRead> reads = ReadFiles(path, folder.files, toRead);
    // What was read is dated in the order the files were met, so that the log tells them so.
    for (const FileGroup& group : groups) {
        if (ShouldStop())
            break;
        ListGroup(reads, group, folder.files);
    }
    for (std::size_t i = 0; i < folder.files.size() && !ShouldStop(); ++i) {
        FileFacts facts;
        if (grouped[i] || !folder.files[i].wanted || !Gather(std::move(reads[i]), &facts))
            continue;
        if (facts.source != CaptureDateSource::kNone)
            Append(std::move(facts), folder.files[i].order);
        else if (report_)
            report_->OnFile(FileReport{facts.path, FileOutcome::kNotOrganized, L"撮影日時を決められません", L""});
    }
    if (walking_.empty())
        SortByOrderMet();
}

std::vector<FileRead> WantedFileFinder::ReadFiles(const std::wstring& folder, const std::vector<Met>& files,
                                                  const std::vector<bool>& toRead) const
{
    std::vector<std::size_t> marked;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (toRead[i])
            marked.push_back(i);
    }
    std::vector<FileRead> reads(files.size());
    const auto read = [&](std::size_t k) {
        if (ShouldStop())
            return;
        const Met& met = files[marked[k]];
        WIN32_FIND_DATAW found{};
        found.nFileSizeHigh = static_cast<DWORD>(met.size >> 32);
        found.nFileSizeLow = static_cast<DWORD>(met.size);
        found.ftLastWriteTime = met.lastWrite;
        reads[marked[k]] = ReadFileFacts(folder + L"\\" + met.name, &found);
    };
    if (marked.size() >= kFilesWorthReaders) {
        ParallelFor(marked.size(), std::min(DefaultWorkerCount(), kMaxListingReaders), read);
    } else {
        for (std::size_t k = 0; k < marked.size(); ++k)
            read(k);
    }
    return reads;
}

bool WantedFileFinder::Gather(FileRead read, FileFacts* facts)
{
    *facts = std::move(read.facts);
    // A file that cannot even be opened would fail its copy; it is left out and counted
    // instead, so that the rest is organized and the user hears of it.
    if (!facts->readable) {
        LeaveOut(facts->path, L"ファイルを読み込めません = %s", L"読み込めません");
        return false;
    }
    DateFromImageFacts(read.image ? &*read.image : nullptr, read.lastWriteKnown, facts, settings_->DateRules(),
                       &sidecars_);
    return true;
}

void WantedFileFinder::ListGroup(std::vector<FileRead>& reads, const FileGroup& group,
                                 const std::vector<Met>& files)
{
    std::vector<FileFacts> members;
    std::uint64_t order = UINT64_MAX;
    const FileFacts* best = nullptr;
    for (const std::size_t index : group.members) {
        FileFacts facts;
        if (!Gather(std::move(reads[index]), &facts))
            continue;
        order = std::min(order, files[index].order);
        members.push_back(std::move(facts));
    }
    // The best date among the members, the main files' first: every member goes to its day.
    for (const FileFacts& member : members) {
        if (!best || DateRank(member.source) > DateRank(best->source))
            best = &member;
    }
    if (!best || best->source == CaptureDateSource::kNone)
        return;
    const SYSTEMTIME date = best->date;
    const CaptureDateSource source = best->source;
    ++groups_;
    for (FileFacts& member : members) {
        member.date = date;
        member.source = source;
        member.group = groups_;
        member.groupBase = group.baseName;
        Append(std::move(member), order);
    }
}

void WantedFileFinder::Append(FileFacts facts, std::uint64_t order)
{
    files_->push_back(std::move(facts));
    orderOfListed_.resize(files_->size() - 1, 0);
    orderOfListed_.push_back(order);
}

void WantedFileFinder::SortByOrderMet()
{
    std::vector<std::size_t> places(files_->size());
    for (std::size_t i = 0; i < places.size(); ++i)
        places[i] = i;
    // Stable: a group's members keep their order, next to one another.
    std::stable_sort(places.begin(), places.end(),
                     [this](std::size_t a, std::size_t b) { return orderOfListed_[a] < orderOfListed_[b]; });
    std::vector<FileFacts> sorted;
    std::vector<std::uint64_t> orders;
    sorted.reserve(places.size());
    for (const std::size_t place : places) {
        sorted.push_back(std::move((*files_)[place]));
        orders.push_back(orderOfListed_[place]);
    }
    *files_ = std::move(sorted);
    orderOfListed_ = std::move(orders);
}

void WantedFileFinder::OnUnreadableFolder(const std::wstring& folderPath, DWORD error)
{
    ++unreadable_;
    g_Log.Write(L"フォルダを読み込めません = %s %s", folderPath.c_str(), HexStatus(StatusFromWin32(error)).c_str());
    if (report_)
        report_->OnFile(FileReport{folderPath, FileOutcome::kNotOrganized, L"フォルダを読み込めません", L""});
}

void WantedFileFinder::LeaveOut(const std::wstring& path, const wchar_t* logText, const wchar_t* reason)
{
    ++unreadable_;
    g_Log.Write(logText, path.c_str());
    if (report_)
        report_->OnFile(FileReport{path, FileOutcome::kNotOrganized, reason, L""});
}

void WantedFileFinder::OnFolderWalkedAlready(const std::wstring& folderPath)
{
    g_Log.Write(L"検索済みのフォルダへのリンクのため省略しました = %s", folderPath.c_str());
}

void WantedFileFinder::OnLink(const std::wstring& path, const WIN32_FIND_DATAW&)
{
    g_Log.Write(L"リンクの先は整理しません = %s", path.c_str());
}

void WantedFileFinder::OnPathTooLong(const std::wstring& path)
{
    ++tooLong_;
    g_Log.Write(L"パスが長すぎるため整理できません = %s", path.c_str());
    if (report_)
        report_->OnFile(FileReport{path, FileOutcome::kNotOrganized, L"パスが長すぎます", L""});
}
