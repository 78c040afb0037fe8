#include "album/album_scan.h"

#include <vector>

#include "album/album_file_facts.h"
#include "album/picture_pixels.h"

#include "base/folder_walk.h"
#include "base/log_file.h"
#include "base/parallel_for.h"
#include "base/paths.h"
#include "metadata/heif_exif_locator.h"
#include "organize/file_facts.h"
#include "organize/output_names.h"

namespace {

// A file found by the walk, not read yet.
struct FoundFile {
    std::wstring path;
    AlbumFileKind kind;
    WIN32_FIND_DATAW listed;
};

// The album's walk of the output folder: every file but the program's own, in the order
// found. Links are passed by: what lies outside the output folder is never in its album.
class AlbumFileFinder : public FolderWalker {
public:
    AlbumFileFinder(ProgressSink* progress, bool includeOther, std::vector<FoundFile>* files)
        : progress_(progress), includeOther_(includeOther), files_(files)
    {
    }

protected:
    bool Skips(const std::wstring& folder, const WIN32_FIND_DATAW& found) override
    {
        const std::wstring name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return IsOwnFileName(name);  // the record and a run's work files
        if (progress_)
            progress_->Trace(L"(dir )" + folder + L"\\" + name);
        // An album is never part of an album, at whatever depth an earlier one was left; nor
        // are the thumbnails kept for it.
        return IsOwnFolderName(name);
    }
    void OnFile(const std::wstring& folder, const WIN32_FIND_DATAW& found) override
    {
        const std::wstring path = folder + L"\\" + found.cFileName;
        const AlbumFileKind kind = AlbumFileKindOf(path);
        if (kind != AlbumFileKind::kOther || includeOther_)
            files_->push_back(FoundFile{path, kind, found});
    }
    void OnLink(const std::wstring& path, const WIN32_FIND_DATAW&) override
    {
        g_Log.Write(L"リンクの先は写真一覧に含めません = %s", path.c_str());
    }

private:
    ProgressSink* progress_;
    bool includeOther_;
    std::vector<FoundFile>* files_;
};

// The camera, the exposure and the size, as the viewer shows them: the size standing up, turned
// by the Exif orientation but for the HEIF family and movies, which give theirs turned already
// (and whose decoders turn the picture themselves).
void TakeCameraFacts(const ImageFacts& image, AlbumFileFacts* facts)
{
    facts->camera = CameraName(image.make.value_or(std::string()), image.model.value_or(std::string()));
    facts->exposureTime = image.exposureTime;
    facts->fNumber = image.fNumber;
    facts->focalLength = image.focalLength;
    facts->isoSpeed = image.isoSpeed.value_or(0);
    facts->focalLength35mm = image.focalLength35mm.value_or(0);
    if (image.pixelSize) {
        const bool turnedAlready = image.format == ImageFormat::kHeif || image.format == ImageFormat::kMovie;
        const std::uint16_t orientation = image.orientation.value_or(1);
        const bool turned = !turnedAlready && TurnsAQuarter(orientation);
        facts->width = turned ? image.pixelSize->second : image.pixelSize->first;
        facts->height = turned ? image.pixelSize->first : image.pixelSize->second;
    }
}

std::uint64_t Ticks(const FILETIME& time)
{
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

}  // namespace

AlbumModel AlbumScan::Scan(const std::wstring& folder, bool includeOther, ProgressSink* progress, int workers)
{
    scanRoot_ = folder;
    std::vector<FoundFile> found;
    AlbumFileFinder(progress, includeOther, &found).Walk(folder);
    std::vector<std::optional<DatedFile>> dated(found.size());
    ParallelFor(found.size(), workers,
                [&](std::size_t i) { dated[i] = Date(found[i].path, found[i].kind, &found[i].listed); });
    AlbumModel model;
    for (std::optional<DatedFile>& file : dated) {
        if (file)
            model.Add(std::move(file->file), file->date);
    }
    return model;
}

std::optional<AlbumScan::DatedFile> AlbumScan::Date(const std::wstring& path, AlbumFileKind kind,
                                                    const WIN32_FIND_DATAW* found) const
{
    WIN32_FIND_DATAW listed{};
    if (!found) {
        WIN32_FILE_ATTRIBUTE_DATA attributes{};
        if (!GetFileAttributesExW(ExtendedLengthPath(path).c_str(), GetFileExInfoStandard, &attributes))
            return std::nullopt;
        listed.nFileSizeHigh = attributes.nFileSizeHigh;
        listed.nFileSizeLow = attributes.nFileSizeLow;
        listed.ftLastWriteTime = attributes.ftLastWriteTime;
        found = &listed;
    }
    // One read of the file gives its date, and a picture's orientation and position; a file
    // unchanged since an earlier scan is not read again.
    const std::uint64_t size = (std::uint64_t{found->nFileSizeHigh} << 32) | found->nFileSizeLow;
    const std::uint64_t lastWrite = Ticks(found->ftLastWriteTime);
    const std::wstring relative = scannedFacts ? Relative(path) : std::wstring();
    FileFacts facts;
    bool hasDate = false;
    std::optional<ImageFacts> image;
    if (!relative.empty())
        image = scannedFacts->Find(relative, size, lastWrite);
    if (image) {
        facts.path = path;
        facts.size = size;
        facts.lastWrite = found->ftLastWriteTime;
        hasDate = DateFromImageFacts(&*image, true, &facts, dateRules, &sidecars_);
    } else {
        hasDate = GatherFileFacts(path, found, &facts, dateRules, &image, &sidecars_);
        if (!relative.empty() && image)
            scannedFacts->Record(relative, size, lastWrite, *image);
    }
    DatedFile dated{};
    if (hasDate) {
        dated.date = facts.date;
        dated.file.facts.dateSource = facts.source;
    } else if (kind != AlbumFileKind::kOther || !GetLastWriteDate(path, &dated.date)) {
        // A file of another kind still has a day: the one it was last written.
        return std::nullopt;
    } else {
        dated.file.facts.dateSource = CaptureDateSource::kLastWrite;
    }
    if (image)
        TakeCameraFacts(*image, &dated.file.facts);
    AlbumFile& file = dated.file;
    file.kind = kind;
    file.captureTime = LocalTimestamp(dated.date);
    file.path = path;
    file.orientation = facts.orientation.value_or(0);
    file.viewAsJpeg = kind == AlbumFileKind::kPicture && image &&
                      (image->format == ImageFormat::kHeif || image->format == ImageFormat::kTiff);
    // A picture's position becomes a map link, a photo of the HEIF family's too (also when it
    // cannot be shown). Other files keep theirs to themselves, as before.
    if (facts.gps && (kind == AlbumFileKind::kPicture || IsHeifExtension(path))) {
        file.hasPosition = true;
        file.latitude = facts.gps->first;
        file.longitude = facts.gps->second;
    }
    file.size = size;
    file.lastWrite = lastWrite;
    return dated;
}

std::wstring AlbumScan::Relative(const std::wstring& path) const
{
    if (scanRoot_.empty() || path.size() <= scanRoot_.size() + 1 || path.compare(0, scanRoot_.size(), scanRoot_) != 0 ||
        path[scanRoot_.size()] != L'\\')
        return L"";
    return path.substr(scanRoot_.size() + 1);
}
