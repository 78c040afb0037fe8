#include "organize/copy_pass.h"

#include <windows.h>

#include <cwchar>
#include <optional>

#include "base/log_file.h"
#include "base/path_text.h"
#include "base/stopwatch.h"
#include "organize/file_failure.h"
#include "organize/file_signature.h"
#include "organize/flush_copies.h"

namespace {

// How often the record is saved while the copies go on: whichever comes first. A save
// writes the whole record, which grows with the run; saves keep to a small share of the
// run's time by waiting at least kSaveTimeShare times as long as the last one took.
constexpr std::uint64_t kSaveEveryMs = 10000;
constexpr int kSaveEveryFiles = 1000;
constexpr double kSaveTimeShare = 20;
// The caption (and with it a window's title) changes at most this often.
constexpr std::uint64_t kCaptionEveryMs = 100;
// Threads that weigh the duplicate tests ahead of the pass. One keeps ahead: a duplicate test
// reads a fraction of what the copies move, and a second thread would only take the copies'
// share of the cores.
constexpr int kLookaheadThreads = 1;

void LogCopyFailure(StatusCode status, const std::wstring& source, const std::wstring& destination)
{
    g_Log.Write(L"ファイルのコピーに失敗しました。 %s(%s)", HexStatus(status).c_str(), SystemMessageText(status).c_str());
    g_Log.Write(L"コピー元 = %s", source.c_str());
    g_Log.Write(L"コピー先 = %s", destination.c_str());
}

}  // namespace

CopyPass::CopyPass(OutputRecord& table, std::wstring recordPath, ProgressSink& progress,
                   OrganizeResult* result, RunReportSink* report)
    : table_(table), recordPath_(std::move(recordPath)), outputFolder_(FolderOfPath(recordPath_)),
      progress_(progress), result_(result), report_(report), lastSaveMs_(GetTickCount64())
{
}

void CopyPass::Run(const std::vector<FileFacts>& files, DateFolderWriter writer, int copyWorkers)
{
    copyWorkers_ = copyWorkers;
    firstFile_ = files.data();
    std::optional<DuplicateLookahead> lookahead;
    if (copyWorkers > 1) {
        TimeInto timer(&result_->timings.duplicateTests);
        lookahead.emplace(files, table_, kLookaheadThreads);
        lookahead_ = &*lookahead;
    }
    CopyWorkers workers(copyWorkers);
    for (std::size_t first = 0, end = 0; first < files.size(); first = end) {
        // A group's members lie next to one another, and are organized as one.
        end = first + 1;
        while (files[first].group != 0 && end < files.size() && files[end].group == files[first].group)
            ++end;
        TakeDone(workers, false);
        if (result_->Failed())
            break;
        if (progress_.StopRequested()) {
            result_->stopped = true;
            break;
        }
        if (end - first == 1)
            Organize(files[first], writer, workers);
        else
            OrganizeGroup(std::span<const FileFacts>(files).subspan(first, end - first), writer, workers);
    }
    // Whatever ended the loop, every copy handed over is finished, and on the disk before
    // the record (which the caller saves) names it.
    TakeDone(workers, true);
    FlushCopies();
    ShowCount();
    lookahead_ = nullptr;
}

void CopyPass::Organize(const FileFacts& source, DateFolderWriter& writer, CopyWorkers& workers)
{
    if (std::wstring copy; IsDuplicate(source, &copy)) {
        NoteDuplicate(source, copy);
        return;
    }
    PlanAndHandOver(source, writer, workers);
}

void CopyPass::PlanAndHandOver(const FileFacts& source, DateFolderWriter& writer, CopyWorkers& workers)
{
    PlannedCopy plan;
    StatusCode planned = kStatusOk;
    {
        TimeInto timer(&result_->timings.planning);
        planned = writer.Plan(source, &plan);
    }
    if (planned != kStatusOk) {
        // The copies under way were planned before this file: their results come first.
        TakeDone(workers, true);
        NoteFailure(planned, plan);
        FileDone();
        return;
    }
    HandOver(std::move(plan), workers);
}

void CopyPass::OrganizeGroup(std::span<const FileFacts> members, DateFolderWriter& writer, CopyWorkers& workers)
{
    // Members whose bytes the output folder holds already (or will, from a copy under way) are
    // not copied again; the new members go beside the first one's copy.
    std::vector<const FileFacts*> fresh;
    const FileFacts* placedMember = nullptr;
    std::wstring placedCopy;
    for (const FileFacts& member : members) {
        std::wstring copy;
        if (!IsDuplicate(member, &copy)) {
            fresh.push_back(&member);
            continue;
        }
        NoteDuplicate(member, copy);
        if (!placedMember) {
            placedMember = &member;
            placedCopy = std::move(copy);
        }
    }
    if (fresh.empty())
        return;
    const std::wstring group = FolderOfPath(members.front().path) + L"\\" + members.front().groupBase;
    if (placedMember) {
        for (const FileFacts* member : fresh) {
            PlannedCopy plan;
            bool beside = false;
            {
                TimeInto timer(&result_->timings.planning);
                beside = writer.PlanBeside(*member, placedCopy, *placedMember, &plan);
            }
            if (beside) {
                g_Log.Write(L"組のファイルを、整理済みのファイルの隣に置きます = %s → %s", member->path.c_str(),
                            plan.destination.c_str());
                HandOver(std::move(plan), workers);
            } else {
                g_Log.Write(L"組のファイルを分けて整理します = %s (整理済みのファイルの隣に、対応する名前で置けません)",
                            member->path.c_str());
                PlanAndHandOver(*member, writer, workers);
            }
        }
        return;
    }
    std::vector<PlannedCopy> plans;
    StatusCode planned = kStatusOk;
    {
        TimeInto timer(&result_->timings.planning);
        planned = writer.PlanGroup(fresh, &plans);
    }
    if (planned != kStatusOk) {
        TakeDone(workers, true);
        for (const PlannedCopy& plan : plans) {
            NoteFailure(planned, plan);
            FileDone();
        }
        return;
    }
    g_Log.Write(L"組のファイルをまとめて整理します = %s (%d 個)", group.c_str(), static_cast<int>(fresh.size()));
    for (PlannedCopy& plan : plans)
        HandOver(std::move(plan), workers);
}

void CopyPass::NoteDuplicate(const FileFacts& source, const std::wstring& copy)
{
    ++result_->counts.duplicates;
    if (report_)
        report_->OnFile(FileReport{source.path, FileOutcome::kAlreadyThere, L"", copy, source.source});
    FileDone();
}

void CopyPass::Report(const PlannedCopy& plan, FileOutcome outcome, const std::wstring& reason)
{
    if (report_)
        report_->OnFile(FileReport{plan.source, outcome, reason, plan.destination, plan.dateSource});
}

void CopyPass::HandOver(PlannedCopy plan, CopyWorkers& workers)
{
    inFlight_.emplace(plan.signature, InFlight{plan.source, plan.destination});
    workers.Add(std::move(plan));
    // Never more under way than the workers hold: the oldest is waited for.
    while (workers.Full())
        TakeOne(workers, true);
}

bool CopyPass::IsDuplicate(const FileFacts& source, std::wstring* copy)
{
    TimeInto timer(&result_->timings.duplicateTests);
    std::optional<DuplicateLookahead::Verdicts> known;
    if (lookahead_)
        known = lookahead_->Await(static_cast<std::size_t>(&source - firstFile_));
    const std::wstring* match =
        table_.FindDuplicate(source.path, source.signature, InFlightWith(source.signature), known ? &*known : nullptr);
    if (!match || !copy)
        return match != nullptr;
    *copy = *match;
    // A copy under way is matched by its source: its copy goes to its planned place.
    for (auto [at, end] = inFlight_.equal_range(source.signature); at != end; ++at) {
        if (&at->second.source == match)
            *copy = at->second.destination;
    }
    return true;
}

bool CopyPass::TakeOne(CopyWorkers& workers, bool wait)
{
    PlannedCopy plan;
    StatusCode status = kStatusOk;
    bool taken = false;
    {
        TimeInto timer(&result_->timings.copyWaits);
        taken = workers.TakeOldest(wait, &plan, &status);
    }
    if (taken)
        Settle(plan, status);
    return taken;
}

void CopyPass::TakeDone(CopyWorkers& workers, bool all)
{
    while (TakeOne(workers, all)) {
    }
}

// A copy is on the disk before the record names it, so that a power cut never leaves a
// record that vouches for a file the disk does not hold. Flushed in a batch at each save:
// most of the data has gone to the disk by then.
void CopyPass::FlushCopies()
{
    TimeInto timer(&result_->timings.copyFlushes);
    std::vector<std::wstring> copies;
    for (const PlannedCopy& plan : unrecorded_) {
        if (!plan.alreadyThere)
            copies.push_back(plan.destination);
    }
    std::unordered_map<std::wstring, StatusCode> failed;
    for (auto& [copy, status] : FlushCopiesToDisk(copies, copyWorkers_))
        failed.emplace(std::move(copy), status);
    // In the order the copies were planned, so that the record comes out as if each copy were
    // made at once. The copy holds the source's bytes: its signature is the source's.
    for (const PlannedCopy& plan : unrecorded_) {
        EraseInFlight(plan);
        if (const auto unflushed = failed.find(plan.destination); unflushed != failed.end()) {
            // Not known to be on the disk, so not vouched for: the next run finds the copy
            // under its name and records it then, or copies it again.
            NoteFileFailure(unflushed->second, plan, FileFailureReason::kNotFlushed);
            continue;
        }
        table_.AddCopy(plan.source, plan.destination, plan.signature);
        if (lookahead_)
            lookahead_->NoteCopy(plan.source, plan.destination);
        Report(plan, plan.alreadyThere ? FileOutcome::kAlreadyThere : FileOutcome::kCopied);
        if (plan.alreadyThere) {
            ++result_->counts.duplicates;
        } else {
            ++result_->counts.copied;
            result_->counts.datedByLastWrite += plan.dateSource == CaptureDateSource::kLastWrite ? 1 : 0;
        }
    }
    unrecorded_.clear();
}

StatusCode CopyPass::SaveRecord()
{
    FlushCopies();
    const Stopwatch watch;
    const StatusCode saved = table_.Save(recordPath_);
    lastSaveSeconds_ = watch.Seconds();
    result_->timings.recordSaves += lastSaveSeconds_;
    return saved;
}

void CopyPass::Settle(const PlannedCopy& plan, StatusCode status)
{
    if (status != kStatusOk) {
        EraseInFlight(plan);
        NoteFailure(status, plan);
    } else {
        // Recorded once it is on the disk; until then a later file of these bytes is still
        // weighed against its source.
        unrecorded_.push_back(plan);
    }
    FileDone();
    const std::uint64_t sinceSaveMs = GetTickCount64() - lastSaveMs_;
    if ((++sinceSave_ >= kSaveEveryFiles || sinceSaveMs >= kSaveEveryMs) &&
        sinceSaveMs >= lastSaveSeconds_ * kSaveTimeShare * 1000 && !result_->Failed()) {
        sinceSave_ = 0;
        // A record that cannot be saved now will not be at the end either: the output folder
        // no longer takes writes, and every copy from here on would go unrecorded.
        if (const StatusCode saved = SaveRecord(); saved != kStatusOk) {
            g_Log.Write(L"比較情報を保存できないため、写真の整理を中止します。 %s", HexStatus(saved).c_str());
            result_->status = saved;
            result_->failedStage = OrganizeResult::kRecordSave;
        }
        lastSaveMs_ = GetTickCount64();
    }
}

void CopyPass::EraseInFlight(const PlannedCopy& plan)
{
    for (auto [at, end] = inFlight_.equal_range(plan.signature); at != end; ++at) {
        if (at->second.source == plan.source) {
            inFlight_.erase(at);
            return;
        }
    }
}

std::vector<const std::wstring*> CopyPass::InFlightWith(std::uint64_t signature) const
{
    std::vector<const std::wstring*> sources;
    for (auto [at, end] = inFlight_.equal_range(signature); at != end; ++at)
        sources.push_back(&at->second.source);
    return sources;
}

void CopyPass::FileDone()
{
    progress_.AddProgress(1);
    ++settled_;
    // A window's title crosses to its thread at each change: a million files would spend
    // seconds there.
    if (GetTickCount64() - lastCaptionMs_ >= kCaptionEveryMs || settled_ == result_->counts.inputFiles)
        ShowCount();
}

void CopyPass::ShowCount()
{
    lastCaptionMs_ = GetTickCount64();
    wchar_t caption[MAX_PATH];
    _snwprintf(caption, MAX_PATH, L"写真の整理中( %d / %d )", settled_, result_->counts.inputFiles);
    caption[MAX_PATH - 1] = L'\0';
    progress_.SetCaption(caption);
}

void CopyPass::NoteFailure(StatusCode status, const PlannedCopy& plan)
{
    if (IsOutputFailure(status, plan.source, outputFolder_))
        NoteOutputFailure(status, plan.source, plan.destination);
    else
        NoteFileFailure(status, plan, ReasonOfCopyFailure(status, plan.source));
}

void CopyPass::NoteFileFailure(StatusCode status, const PlannedCopy& plan, FileFailureReason reason)
{
    LogCopyFailure(status, plan.source, plan.destination);
    g_Log.Write(L"整理できなかった理由 = %s", FileFailureReasonText(reason));
    ++result_->counts.notOrganized;
    result_->fileFailures.push_back(FileFailure{plan.source, plan.destination, status, reason});
    Report(plan, FileOutcome::kNotOrganized, FileFailureReasonText(reason));
}

// The first failure of the output is the run's failure; copies under way beside it may fail
// too, and are only logged.
void CopyPass::NoteOutputFailure(StatusCode status, const std::wstring& source, const std::wstring& destination)
{
    LogCopyFailure(status, source, destination);
    if (report_)
        report_->OnFile(FileReport{source, FileOutcome::kNotOrganized, L"出力先フォルダに書き込めません", destination});
    if (result_->Failed())
        return;
    result_->status = status;
    result_->failedStage = OrganizeResult::kCopy;
    result_->copyFailed = true;
    result_->failedSource = source;
    result_->failedDestination = destination;
}
