#include "album/album_build_context.h"

#include "base/paths.h"
#include "organize/output_names.h"

AlbumBuildContext::AlbumBuildContext(ProgressSink* progressSink, const std::wstring& output, std::wstring templates)
    : progress(progressSink),
      outputFolder(output),
      albumFolder(output + L"\\" + kAlbumFolderName),
      templateFolder(templates.empty() ? GetExeFolder() + L"\\Template\\0001" : std::move(templates))
{
}

void AlbumBuildContext::AddToTotal(std::uint64_t count) const
{
    if (!progress)
        return;
    progress->SetTotal(progress->Total() + count);
    progress->AddProgress(0);  // the bar redrawn against the new total
}

void AlbumBuildContext::Advance(std::uint64_t count) const
{
    if (progress)
        progress->AddProgress(count);
}
