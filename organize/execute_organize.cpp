#include "organize/execute_organize.h"

#include "app/app_paths.h"
#include "app/logfile.h"
#include "organize/my_convert_start_progress.h"
#include "organize/organize_settings.h"
#include "ui/ui_seams.h"

std::wstring AlbumIndexPath(const std::wstring& outputFolder)
{
    return outputFolder + L"\\PhotoAlbum\\index.html";
}

void ExecuteOrganize(HWND owner, const RunRequest_CL& request, HWND albumButton)
{
    PreparedRun_CL run;
    if (!PrepareRun(owner, request, &run))
        return;

    g_Log.Write(L"写真整理(開始)");
    if (albumButton)
        EnableWindow(albumButton, FALSE);
    for (size_t k = 0; k < run.inputFolders.size(); ++k)
        g_Log.Write(L"入力フォルダ[%d] = %s", static_cast<int>(k), run.inputFolders[k].c_str());
    g_Log.Write(L"出力フォルダ = %s", run.outputFolder.c_str());

    {
        // Destroyed before the lists it points at: its destructor waits for the worker.
        MyConvertStartProgress_CL progress(&run.inputFolders, &run.outputFolder);
        progress.SetTitle(L"写真の整理中");
        progress.SetShowCancel(false);
        progress.SetShowDelay(0);
        progress.SetAutoStart(true);
        progress.DoModal(owner);
    }

    g_Log.Write(L"写真整理(終了)");
    ShowMessageBox(owner, L"写真の整理が完了しました。", kNoticeCaption, MB_OK | MB_ICONINFORMATION);
    const std::wstring album = AlbumIndexPath(run.outputFolder);
    if (albumButton)
        EnableWindow(albumButton, GetFileAttributesW(album.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (g_OrganizeSettings.MakePhotoHtml && !IsDeveloperMachine())
        ShellOpen(owner, album);
}
