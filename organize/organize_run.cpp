#include "organize/organize_run.h"

#include <windows.h>

#include <cwchar>

#include "album/album_build.h"
#include "app/logfile.h"
#include "organize/compare_file.h"
#include "organize/copy_to_date_folder.h"
#include "organize/folder_utils.h"
#include "organize/my_find_file.h"
#include "organize/organize_settings.h"
#include "ui/ui_seams.h"

namespace {

std::wstring HexStatus(StatusCode status)
{
    wchar_t text[64];
    _snwprintf(text, 64, L"0x%08x", static_cast<unsigned>(status));
    text[63] = L'\0';
    return text;
}

void ReportCopyFailure(StatusCode status, const std::wstring& source, const std::wstring& destination)
{
    g_Log.Write(L"ファイルのコピーに失敗しました。 0x%08x(%s)", static_cast<unsigned>(status),
                SystemMessageText(status).c_str());
    g_Log.Write(L"コピー元 = %s", source.c_str());
    g_Log.Write(L"コピー先 = %s", destination.c_str());
    ShowMessageBox(nullptr,
                   L"ファイルのコピーに失敗しました。\r\n【コピー元】" + source + L"\r\n【コピー先】" + destination +
                       L"\r\n【HRESULT】" + HexStatus(status),
                   L"ファイルのコピー失敗しました。", MB_OK | MB_ICONERROR);
}

}  // namespace

std::wstring SystemMessageText(StatusCode status)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
        static_cast<DWORD>(status), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer),
        0, nullptr);
    std::wstring text;
    if (length && buffer) {
        for (DWORD i = 0; i < length; ++i) {
            if (buffer[i] != L'\r' && buffer[i] != L'\n')
                text += buffer[i];
        }
    }
    LocalFree(buffer);
    return text;
}

StatusCode RunOrganize(ProgressSink_CL& progress, const std::vector<std::wstring>& inputFolders,
                       const std::wstring& outputFolder, OrganizeCounts* counts)
{
    OrganizeCounts local;
    OrganizeCounts& count = counts ? *counts : local;
    count = OrganizeCounts{};

    const std::wstring recordPath = outputFolder + L"\\Sortavel.dat";
    CompareFile_CL table;
    const int loaded = table.Load(recordPath);
    if (loaded != kStatusOk && loaded != CompareFile_CL::kNoRecordFile)
        return loaded;

    // The whole list is made before the first copy, so that no copy is ever found again.
    std::vector<std::wstring> files;
    MyFindFile_CL finder(&g_OrganizeSettings, &files);
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

    StatusCode failure = kStatusOk;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::wstring& source = files[i];
        if (table.FindDuplicate(source)) {
            ++count.duplicates;
        } else {
            std::wstring destination;
            const StatusCode copiedStatus = CopyToDateFolder(outputFolder, source, &destination);
            if (copiedStatus != kStatusOk) {
                ReportCopyFailure(copiedStatus, source, destination);
                failure = copiedStatus;
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

    if (failure == kStatusOk) {
        g_Log.Write(L"重複ファイルの数   = %d", count.duplicates);
        g_Log.Write(L"コピーファイルの数 = %d", count.copied);
    }
    // What was copied is recorded even when a copy failed on the way, or the next run would
    // copy it all again beside itself as IMG_0001(1).JPG.
    table.SetOutputFormat(g_OrganizeSettings.OutputFormatType);
    // A run that copied nothing into a folder that does not exist yet still marks it as used.
    CreateFolderPath(outputFolder);
    const int saved = table.Save(recordPath);
    if (failure != kStatusOk)
        return failure;
    if (saved != kStatusOk)
        return saved;
    if (g_OrganizeSettings.MakePhotoHtml)
        return BuildPhotoAlbum(progress, outputFolder);
    return kStatusOk;
}
