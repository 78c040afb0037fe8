#include "organize/organize_run.h"

#include <windows.h>

#include <cwchar>

#include "base/logfile.h"
#include "organize/compare_file.h"
#include "organize/copy_to_date_folder.h"
#include "organize/folder_utils.h"
#include "organize/my_find_file.h"
#include "organize/organize_settings.h"

namespace {

void LogCopyFailure(StatusCode status, const std::wstring& source, const std::wstring& destination)
{
    g_Log.Write(L"ファイルのコピーに失敗しました。 0x%08x(%s)", static_cast<unsigned>(status),
                SystemMessageText(status).c_str());
    g_Log.Write(L"コピー元 = %s", source.c_str());
    g_Log.Write(L"コピー先 = %s", destination.c_str());
}

}  // namespace

std::wstring CopyFailureText(const OrganizeResult& result)
{
    return L"ファイルのコピーに失敗しました。\r\n【コピー元】" + result.failedSource + L"\r\n【コピー先】" +
           result.failedDestination + L"\r\n【HRESULT】" + HexStatus(result.status);
}

OrganizeResult RunOrganize(const OrganizeSettings& settings, ProgressSink_CL& progress,
                           const std::vector<std::wstring>& inputFolders, const std::wstring& outputFolder)
{
    OrganizeResult result;
    OrganizeCounts& count = result.counts;

    const std::wstring recordPath = outputFolder + L"\\Sortavel.dat";
    CompareFile_CL table;
    const int loaded = table.Load(recordPath);
    if (loaded != kStatusOk && loaded != CompareFile_CL::kNoRecordFile) {
        result.status = loaded;
        return result;
    }

    // The whole list is made before the first copy, so that no copy is ever found again.
    std::vector<std::wstring> files;
    MyFindFile_CL finder(&settings, &files);
    for (const std::wstring& folder : inputFolders) {
        // An album that an earlier run built inside an input folder is never organized.
        finder.AddExcludedFolder(folder + L"\\PhotoAlbum");
        finder.Find(folder + L"\\*.*", true);
    }
    finder.Reset();

    count.inputFiles = static_cast<int>(files.size());
    progress.SetTotal(progress.Total() + files.size());
    progress.AddProgress(0);
    g_Log.Write(L"入力ファイルの数   = %d", count.inputFiles);

    for (size_t i = 0; i < files.size(); ++i) {
        const std::wstring& source = files[i];
        if (table.FindDuplicate(source)) {
            ++count.duplicates;
        } else {
            std::wstring destination;
            const StatusCode copied = CopyToDateFolder(outputFolder, source, settings.OutputFormatType, &destination);
            if (copied != kStatusOk) {
                LogCopyFailure(copied, source, destination);
                result.status = copied;
                result.copyFailed = true;
                result.failedSource = source;
                result.failedDestination = destination;
                break;
            }
            table.Add(destination);
            ++count.copied;
        }
        progress.AddProgress(1);
        wchar_t caption[MAX_PATH];
        _snwprintf(caption, MAX_PATH, L"写真の整理中( %d / %d )", static_cast<int>(i + 1), count.inputFiles);
        caption[MAX_PATH - 1] = L'\0';
        progress.SetCaption(caption);
    }

    if (!result.copyFailed) {
        g_Log.Write(L"重複ファイルの数   = %d", count.duplicates);
        g_Log.Write(L"コピーファイルの数 = %d", count.copied);
    }
    // What was copied is recorded even when a copy failed on the way, or the next run would
    // copy it all again beside itself as IMG_0001(1).JPG.
    table.SetOutputFormat(settings.OutputFormatType);
    // A run that copied nothing into a folder that does not exist yet still marks it as used.
    CreateFolderPath(outputFolder);
    const int saved = table.Save(recordPath);
    if (!result.copyFailed)
        result.status = saved;
    return result;
}
