#include "organize/copy_pass.h"

#include <windows.h>

#include <cwchar>

#include "base/log_file.h"
#include "organize/file_signature.h"

namespace {

// How often the record is saved while the copies go on: whichever comes first.
constexpr std::uint64_t kSaveEveryMs = 10000;
constexpr int kSaveEveryFiles = 1000;

void LogCopyFailure(StatusCode status, const std::wstring& source, const std::wstring& destination)
{
    g_Log.Write(L"ファイルのコピーに失敗しました。 0x%08x(%s)", static_cast<unsigned>(status),
                SystemMessageText(status).c_str());
    g_Log.Write(L"コピー元 = %s", source.c_str());
    g_Log.Write(L"コピー先 = %s", destination.c_str());
}

}  // namespace

CopyPass::CopyPass(OutputRecord& table, std::wstring recordPath, ProgressSink& progress,
                   OrganizeResult* result)
    : table_(table), recordPath_(std::move(recordPath)), progress_(progress), result_(result),
      lastSaveMs_(GetTickCount64())
{
}

void CopyPass::Run(const std::vector<FileFacts>& files, DateFolderWriter writer, int copyWorkers)
{
    CopyWorkers workers(copyWorkers);
    for (const FileFacts& source : files) {
        TakeDone(workers, false);
        if (result_->Failed())
            break;
        if (progress_.StopRequested()) {
            result_->stopped = true;
            break;
        }
        if (table_.FindDuplicate(source.path, source.signature, InFlightWith(source.signature))) {
            ++result_->counts.duplicates;
            FileDone();
            continue;
        }
        PlannedCopy plan;
        if (const StatusCode planned = writer.Plan(source, &plan); planned != kStatusOk) {
            // The copies under way were planned before this file: their results come first.
            TakeDone(workers, true);
            NoteCopyFailure(planned, plan.source, plan.destination);
            break;
        }
        inFlight_.emplace(plan.signature, plan.source);
        workers.Add(std::move(plan));
        // Never more under way than the workers hold: the oldest is waited for.
        while (workers.Full()) {
            PlannedCopy done;
            StatusCode status = kStatusOk;
            if (workers.TakeOldest(true, &done, &status))
                Settle(done, status);
        }
    }
    // Whatever ended the loop, every copy handed over is finished and recorded.
    TakeDone(workers, true);
}

void CopyPass::TakeDone(CopyWorkers& workers, bool all)
{
    PlannedCopy plan;
    StatusCode status = kStatusOk;
    while (workers.TakeOldest(all, &plan, &status))
        Settle(plan, status);
}

void CopyPass::Settle(const PlannedCopy& plan, StatusCode status)
{
    for (auto [at, end] = inFlight_.equal_range(plan.signature); at != end; ++at) {
        if (at->second == plan.source) {
            inFlight_.erase(at);
            break;
        }
    }
    if (status != kStatusOk) {
        NoteCopyFailure(status, plan.source, plan.destination);
    } else {
        // In the order the copies were planned, so that the record comes out as if each copy
        // were made at once. The copy holds the source's bytes: its signature is the source's.
        table_.AddCopy(plan.source, plan.destination, plan.signature);
        ++(plan.alreadyThere ? result_->counts.duplicates : result_->counts.copied);
    }
    FileDone();
    if (++sinceSave_ >= kSaveEveryFiles || GetTickCount64() - lastSaveMs_ >= kSaveEveryMs) {
        sinceSave_ = 0;
        lastSaveMs_ = GetTickCount64();
        table_.Save(recordPath_);
    }
}

std::vector<const std::wstring*> CopyPass::InFlightWith(std::uint64_t signature) const
{
    std::vector<const std::wstring*> sources;
    for (auto [at, end] = inFlight_.equal_range(signature); at != end; ++at)
        sources.push_back(&at->second);
    return sources;
}

void CopyPass::FileDone()
{
    progress_.AddProgress(1);
    wchar_t caption[MAX_PATH];
    _snwprintf(caption, MAX_PATH, L"写真の整理中( %d / %d )", ++settled_, result_->counts.inputFiles);
    caption[MAX_PATH - 1] = L'\0';
    progress_.SetCaption(caption);
}

// The first failed copy is the run's failure; copies under way beside it may fail too, and
// are only logged.
void CopyPass::NoteCopyFailure(StatusCode status, const std::wstring& source, const std::wstring& destination)
{
    LogCopyFailure(status, source, destination);
    if (result_->Failed())
        return;
    result_->status = status;
    result_->failedStage = OrganizeResult::kCopy;
    result_->copyFailed = true;
    result_->failedSource = source;
    result_->failedDestination = destination;
}
