#include "organize/organize_run.h"

#include <windows.h>

#include <cwchar>
#include <unordered_map>

#include "base/handles.h"
#include "base/logfile.h"
#include "organize/compare_file.h"
#include "organize/copy_to_date_folder.h"
#include "organize/copy_workers.h"
#include "organize/folder_utils.h"
#include "organize/my_find_file.h"
#include "organize/organize_settings.h"
#include "organize/output_names.h"

namespace {

// How often the record is saved while a run goes on: whichever comes first.
constexpr ULONGLONG kSaveEveryMs = 10000;
constexpr int kSaveEveryFiles = 1000;

class PeriodicSave_CL {
public:
    bool Due()
    {
        if (++files_ < kSaveEveryFiles && GetTickCount64() - since_ < kSaveEveryMs)
            return false;
        files_ = 0;
        since_ = GetTickCount64();
        return true;
    }

private:
    int files_ = 0;
    ULONGLONG since_ = GetTickCount64();
};

void MarkRunning(const std::wstring& marker)
{
    UniqueFile_CL file(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN,
                                   nullptr));
}

void LogCopyFailure(StatusCode status, const std::wstring& source, const std::wstring& destination)
{
    g_Log.Write(L"ファイルのコピーに失敗しました。 0x%08x(%s)", static_cast<unsigned>(status),
                SystemMessageText(status).c_str());
    g_Log.Write(L"コピー元 = %s", source.c_str());
    g_Log.Write(L"コピー先 = %s", destination.c_str());
}

// The first failed copy is the run's failure; copies under way beside it may fail too, and
// are only logged.
void NoteCopyFailure(StatusCode status, const std::wstring& source, const std::wstring& destination,
                     OrganizeResult* result)
{
    LogCopyFailure(status, source, destination);
    if (result->Failed())
        return;
    result->status = status;
    result->failedStage = OrganizeResult::kCopy;
    result->copyFailed = true;
    result->failedSource = source;
    result->failedDestination = destination;
}

void ShowFilesDone(ProgressSink_CL& progress, int done, int total)
{
    progress.AddProgress(1);
    wchar_t caption[MAX_PATH];
    _snwprintf(caption, MAX_PATH, L"写真の整理中( %d / %d )", done, total);
    caption[MAX_PATH - 1] = L'\0';
    progress.SetCaption(caption);
}

}  // namespace

std::wstring CopyFailureText(const OrganizeResult& result)
{
    return L"ファイルのコピーに失敗しました。\r\n【コピー元】" + result.failedSource + L"\r\n【コピー先】" +
           result.failedDestination + L"\r\n【HRESULT】" + HexStatus(result.status);
}

std::wstring RunFailureText(const OrganizeResult& result)
{
    std::wstring text;
    switch (result.failedStage) {
    case OrganizeResult::kNone:
        return std::wstring();
    case OrganizeResult::kCopy:
        return CopyFailureText(result);
    case OrganizeResult::kUnfinished:
        text = L"写真の整理を最後まで実行できませんでした。詳しくはログを確認してください。";
        break;
    case OrganizeResult::kRecordLoad:
        text = L"出力先フォルダの比較情報(Sortavel.dat)を読み込めませんでした。"
               L"ほかのプログラムが使用中でないか確認してから、再度実行してください。"
               L"ファイルはコピーしていません。比較情報も変更していません。";
        break;
    case OrganizeResult::kRecordSave:
        text = L"出力先フォルダに比較情報(Sortavel.dat)を保存できませんでした。"
               L"出力先フォルダに書き込めるか、空き容量が足りているか確認してください。";
        break;
    case OrganizeResult::kAlbum:
        text = L"写真の整理は完了しましたが、写真一覧HTMLを作成できませんでした。";
        break;
    }
    return text + L"\r\n【HRESULT】" + HexStatus(result.status);
}

std::wstring RunStoppedText(const OrganizeResult& result)
{
    wchar_t text[512];
    _snwprintf(text, 512,
               L"写真の整理を中止しました。\r\nコピーしたファイルの数 = %d\r\n重複ファイルの数 = %d\r\n"
               L"残りのファイルは、次に実行したときに整理されます。",
               result.counts.copied, result.counts.duplicates);
    text[511] = L'\0';
    const std::wstring leftOut = LeftOutText(result.counts);
    return leftOut.empty() ? std::wstring(text) : text + (L"\r\n\r\n" + leftOut);
}

std::wstring LeftOutText(const OrganizeCounts& counts)
{
    if (counts.tooLong == 0)
        return std::wstring();
    wchar_t text[256];
    _snwprintf(text, 256, L"パスが長すぎるため、%d 個のフォルダまたはファイルを整理できませんでした。詳しくはログを確認してください。",
               counts.tooLong);
    text[255] = L'\0';
    return text;
}

OrganizeResult RunOrganize(const OrganizeSettings& settings, ProgressSink_CL& progress,
                           const std::vector<std::wstring>& inputFolders, const std::wstring& outputFolder,
                           int copyWorkers)
{
    OrganizeResult result;
    OrganizeCounts& count = result.counts;

    const std::wstring recordPath = RecordPathOf(outputFolder);
    CompareFile_CL table;
    const int loaded = table.Load(recordPath);
    if (loaded != kStatusOk && loaded != CompareFile_CL::kNoRecordFile) {
        result.status = loaded;
        result.failedStage = OrganizeResult::kRecordLoad;
        return result;
    }
    // A run that was stopped hard may have left a copy half-made.
    const std::wstring running = RunningMarkerPathOf(recordPath);
    if (GetFileAttributesW(running.c_str()) != INVALID_FILE_ATTRIBUTES)
        RemovePartialCopies(outputFolder);

    // The whole list is made before the first copy, so that no copy is ever found again.
    std::vector<FileFacts_CL> files;
    MyFindFile_CL finder(&settings, &files, &progress);
    for (const std::wstring& folder : inputFolders) {
        // An album that an earlier run built inside an input folder is never organized.
        finder.AddExcludedFolder(folder + L"\\PhotoAlbum");
        finder.Find(folder + L"\\*.*", true);
    }
    finder.Reset();
    count.tooLong = finder.TooLongCount();
    // Stopped while listing: nothing was copied, and the output folder is left untouched.
    if (progress.StopRequested()) {
        result.stopped = true;
        return result;
    }

    count.inputFiles = static_cast<int>(files.size());
    progress.SetTotal(progress.Total() + files.size());
    progress.AddProgress(0);
    g_Log.Write(L"入力ファイルの数   = %d", count.inputFiles);

    // The folder counts as used from the first moment: a record is there before any copy, and
    // is brought up to date as the run goes, so that a run stopped at any point leaves the
    // next one only what is missing.
    table.SetOutputFormat(settings.OutputFormatType);
    CreateFolderPath(outputFolder);
    MarkRunning(running);
    if (const int saved = table.Save(recordPath); saved != kStatusOk) {
        result.status = saved;
        result.failedStage = OrganizeResult::kRecordSave;
        return result;
    }
    PeriodicSave_CL periodic;

    DateFolderWriter_CL writer(outputFolder, settings.OutputFormatType);
    // Copies planned and not yet taken back from the workers, by signature: a later file with
    // the same bytes is a duplicate of the planned copy, though that is not made yet.
    std::unordered_multimap<std::uint64_t, std::wstring> inFlight;
    int settled = 0;
    auto settle = [&](const PlannedCopy_CL& plan, StatusCode status) {
        for (auto [at, end] = inFlight.equal_range(plan.signature); at != end; ++at) {
            if (at->second == plan.source) {
                inFlight.erase(at);
                break;
            }
        }
        if (status != kStatusOk) {
            NoteCopyFailure(status, plan.source, plan.destination, &result);
        } else {
            // In the order the copies were planned, so that the record comes out as if
            // each copy were made at once.
            table.Add(plan.destination, plan.signature);
            ++(plan.alreadyThere ? count.duplicates : count.copied);
        }
        ShowFilesDone(progress, ++settled, count.inputFiles);
        if (periodic.Due())
            table.Save(recordPath);
    };
    // Settles the copies that are done, oldest first; with `all`, waits for every one.
    auto takeDone = [&](CopyWorkers_CL& workers, bool all) {
        PlannedCopy_CL plan;
        StatusCode status = kStatusOk;
        while (workers.TakeOldest(all, &plan, &status))
            settle(plan, status);
    };
    auto duplicateInFlight = [&](const FileFacts_CL& file) {
        for (auto [at, end] = inFlight.equal_range(file.signature); at != end; ++at) {
            if (!FilesDiffer(file.path, at->second))
                return true;
        }
        return false;
    };

    {
        CopyWorkers_CL workers(copyWorkers);
        for (const FileFacts_CL& source : files) {
            takeDone(workers, false);
            if (result.Failed())
                break;
            if (progress.StopRequested()) {
                result.stopped = true;
                break;
            }
            if (table.FindDuplicate(source.path, source.signature) || duplicateInFlight(source)) {
                ++count.duplicates;
                ShowFilesDone(progress, ++settled, count.inputFiles);
                continue;
            }
            PlannedCopy_CL plan;
            if (const StatusCode planned = writer.Plan(source, &plan); planned != kStatusOk) {
                // What is in flight was planned before this file: its results come first.
                takeDone(workers, true);
                NoteCopyFailure(planned, plan.source, plan.destination, &result);
                break;
            }
            inFlight.emplace(plan.signature, plan.source);
            workers.Add(std::move(plan));
            // Never more under way than the workers hold: the oldest is waited for.
            while (workers.Full()) {
                PlannedCopy_CL done;
                StatusCode status = kStatusOk;
                if (workers.TakeOldest(true, &done, &status))
                    settle(done, status);
            }
        }
        // Whatever ended the loop, every copy handed over is made and recorded.
        takeDone(workers, true);
    }

    if (!result.copyFailed) {
        g_Log.Write(L"重複ファイルの数   = %d", count.duplicates);
        g_Log.Write(L"コピーファイルの数 = %d", count.copied);
    }
    // What was copied is recorded even when a copy failed on the way, or the next run would
    // copy it all again beside itself as IMG_0001(1).JPG.
    const int saved = table.Save(recordPath);
    if (saved == kStatusOk)
        DeleteFileW(running.c_str());
    if (!result.copyFailed && saved != kStatusOk) {
        result.status = saved;
        result.failedStage = OrganizeResult::kRecordSave;
    }
    return result;
}
