#include "run/organize_and_build_album.h"

#include "album/album_build.h"
#include "base/log_file.h"
#include "base/paths.h"
#include "run/run_reports.h"

OrganizeResult OrganizeAndBuildAlbum(const OrganizeSettings& settings, ProgressSink& progress,
                                     const std::vector<std::wstring>& inputFolders, const std::wstring& outputFolder,
                                     RunReportSink* alsoReport)
{
    // A report that cannot be kept costs the run nothing: the log still names every file left
    // out.
    RunReportFile kept;
    const std::wstring dataFolder = DataFolder();
    if (!dataFolder.empty() && !kept.Open(NewKeptReportPath(dataFolder)))
        g_Log.Write(L"整理の報告を保存できません = %s", dataFolder.c_str());
    ReportTee report({&kept, alsoReport});
    OrganizeResult result = RunOrganize(settings, progress, inputFolders, outputFolder, kDefaultCopyWorkers, &report);
    if (!settings.MakePhotoHtml || result.Failed() || result.stopped)
        return result;
    const AlbumBuildResult built = BuildPhotoAlbum(progress, outputFolder, settings.MakePhotoHtmlIncludeNoPreview != 0,
                                                   L"", settings.DateRules());
    if (built.Failed()) {
        result.status = built.status;
        result.failedStage = OrganizeResult::kAlbum;
        result.failedAlbumPath = built.failedPath;
        result.missingAlbumCodec = built.missingCodec;
    }
    return result;
}
