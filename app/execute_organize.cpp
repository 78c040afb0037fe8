#include "app/execute_organize.h"

#include "app/organize_run_dialog.h"
#include "app/run_notices.h"
#include "app/run_settings.h"
#include "app/run_summary.h"
#include "base/log_file.h"
#include "base/paths.h"
#include "organize/organize_settings.h"
#include "organize/output_names.h"
#include "ui/ui_seams.h"

std::wstring AlbumIndexPath(const std::wstring& outputFolder)
{
    return outputFolder + L"\\" + kAlbumFolderName + L"\\index.html";
}

void ExecuteOrganize(HWND owner, const RunChoices& choices, HWND albumButton)
{
    g_OrganizeSettings.SetRunValues(choices.outputFormat, choices.makeAlbum, choices.albumIncludesNoPreview);
    PreparedRun run;
    const RunVerdict verdict = CheckRun(choices, &run);
    RememberRunChoices(run, verdict, g_OrganizeSettings);
    if (!AgreeToRun(owner, verdict, run))
        return;

    g_Log.Write(L"写真整理(開始)");
    if (albumButton)
        EnableWindow(albumButton, FALSE);
    for (size_t k = 0; k < run.inputFolders.size(); ++k)
        g_Log.Write(L"入力フォルダ[%d] = %s", static_cast<int>(k), run.inputFolders[k].c_str());
    g_Log.Write(L"出力フォルダ = %s", run.outputFolder.c_str());

    OrganizeResult result;
    // What the run tells of each file, for the window of its results; read once the worker
    // has ended.
    RunSummary summary;
    {
        // Destroyed before the lists it points at: its destructor waits for the worker.
        OrganizeRunDialog progress(&g_OrganizeSettings, &run.inputFolders, &run.outputFolder, &summary);
        progress.SetTitle(L"写真の整理中");
        // The run stops after the file it is at, with what it did recorded.
        progress.SetShowCancel(true);
        progress.SetShowDelay(0);
        progress.SetAutoStart(true);
        progress.DoModal(owner);
        result = progress.Result();
    }

    g_Log.Write(L"写真整理(終了)");
    ShowRunOutcome(owner, result, summary);
    const std::wstring album = AlbumIndexPath(run.outputFolder);
    if (albumButton)
        EnableWindow(albumButton, GetFileAttributesW(ExtendedLengthPath(album).c_str()) != INVALID_FILE_ATTRIBUTES);
    const bool albumBuilt = g_OrganizeSettings.MakePhotoHtml && !result.Failed() && !result.stopped;
    if (albumBuilt && !IsDeveloperMachine())
        ShellOpen(owner, album);
}
