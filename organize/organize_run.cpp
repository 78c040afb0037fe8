#include "organize/organize_run.h"

#include <windows.h>

#include "base/file_removal.h"
#include "base/handles.h"
#include "base/log_file.h"
#include "base/paths.h"
#include "base/status_code.h"
#include "base/stopwatch.h"
#include "organize/organize_limits.h"
#include "organize/output_record.h"
#include "organize/copy_pass.h"
#include "organize/date_folder_writer.h"
#include "organize/partial_copies.h"
#include "organize/folder_utils.h"
#include "organize/wanted_file_finder.h"
#include "organize/organize_settings.h"
#include "organize/output_names.h"

namespace {

// The run's first write into the output folder: its failure is the folder's own (denied,
// read-only, gone), and nothing has been written yet when it is reported.
StatusCode MarkRunning(const std::wstring& outputFolder, const std::wstring& marker)
{
    if (const StatusCode made = CreateFolderPath(outputFolder); made != kStatusOk)
        return made;
    // A marker a stopped run left says the same; a name there is never written through.
    UniqueFile file(CreateFileW(ExtendedLengthPath(marker).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN,
                                nullptr));
    return file || GetLastError() == ERROR_FILE_EXISTS ? kStatusOk : StatusFromLastError();
}

}  // namespace

OrganizeResult RunOrganize(const OrganizeSettings& settings, ProgressSink& progress,
                           const std::vector<std::wstring>& inputFolders, const std::wstring& outputFolder,
                           int copyWorkers, RunReportSink* report)
{
    OrganizeResult result;
    OrganizeCounts& count = result.counts;
    OrganizeTimings& timings = result.timings;
    const Stopwatch whole;

    const std::wstring recordPath = RecordPathOf(outputFolder);
    result.recordPath = recordPath;
    OutputRecord table;
    const std::wstring running = RunningMarkerPathOf(recordPath);
    {
        TimeInto timer(&timings.recordLoad);
        const RecordLoad loaded = table.Load(recordPath);
        if (loaded.outcome == RecordLoad::kDamaged || loaded.outcome == RecordLoad::kFailed) {
            result.status = loaded.status;
            result.failedStage = OrganizeResult::kRecordLoad;
            return result;
        }
        // A run that was stopped hard may have left a copy half-made.
        if (GetFileAttributesW(ExtendedLengthPath(running).c_str()) != INVALID_FILE_ATTRIBUTES)
            RemovePartialCopies(outputFolder);
    }

    // The whole list is made before the first copy, so that no copy is ever found again.
    std::vector<FileFacts> files;
    WantedFileFinder finder(&settings, &files, &progress, report);
    {
        TimeInto timer(&timings.listing);
        for (const std::wstring& folder : inputFolders)
            finder.Walk(folder);
    }
    count.tooLong = finder.TooLongCount();
    count.unreadable = finder.UnreadableCount();
    // Stopped while listing: nothing was copied, and the output folder is left untouched.
    if (progress.StopRequested()) {
        result.stopped = true;
        return result;
    }

    // A record that could grow past what a record may hold would lock its folder out for good:
    // the run is refused now, before any copy, counting every listed file as new.
    if (static_cast<std::int64_t>(table.ItemCount()) + static_cast<std::int64_t>(files.size()) >
        organize_limits::kMaxRecordedFiles) {
        g_Log.Write(L"比較情報に記録できるファイルの数を超えるため、整理しません = %s", recordPath.c_str());
        result.status = StatusFromWin32(ERROR_FILE_TOO_LARGE);
        result.failedStage = OrganizeResult::kRecordFull;
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
    if (const StatusCode marked = MarkRunning(outputFolder, running); marked != kStatusOk) {
        g_Log.Write(L"出力先フォルダに書き込めません。 %s", HexStatus(marked).c_str());
        result.status = marked;
        result.failedStage = OrganizeResult::kOutputFolder;
        return result;
    }
    auto saveRecord = [&] {
        TimeInto timer(&timings.recordSaves);
        return table.Save(recordPath);
    };
    if (const StatusCode saved = saveRecord(); saved != kStatusOk) {
        result.status = saved;
        result.failedStage = OrganizeResult::kRecordSave;
        return result;
    }
    CopyPass pass(table, recordPath, progress, &result, report);
    pass.Run(files, DateFolderWriter(outputFolder, settings.OutputFormatType), copyWorkers);

    if (!result.copyFailed) {
        g_Log.Write(L"重複ファイルの数   = %d", count.duplicates);
        g_Log.Write(L"コピーファイルの数 = %d", count.copied);
        g_Log.Write(L"更新日時で整理したファイルの数 = %d", count.datedByLastWrite);
    }
    // What was copied is recorded even when a copy failed on the way, or the next run would
    // copy it all again beside itself as IMG_0001(1).JPG.
    const StatusCode saved = saveRecord();
    // A marker that stays only makes the next run look for work files first.
    if (saved == kStatusOk)
        (void)RemoveEntry(running);
    if (!result.copyFailed && saved != kStatusOk) {
        result.status = saved;
        result.failedStage = OrganizeResult::kRecordSave;
    }
    timings.total = whole.Seconds();
    g_Log.Write(L"所要時間 = %.2f 秒(読み込み %.2f、一覧 %.2f、重複判定 %.2f、名前 %.2f、コピー待ち %.2f、"
                L"ディスクへの書き込み %.2f、比較情報の保存 %.2f)",
                timings.total, timings.recordLoad, timings.listing, timings.duplicateTests, timings.planning,
                timings.copyWaits, timings.copyFlushes, timings.recordSaves);
    return result;
}
