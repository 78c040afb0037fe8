#include "album/album_media_tree.h"

#include <algorithm>
#include <cwchar>

#include "album/album_text.h"
#include "album/parallel_for.h"
#include "album/thumbnail_cache.h"
#include "base/folder_walk.h"
#include "base/logfile.h"
#include "base/path_text.h"
#include "base/paths.h"
#include "base/text_encoding.h"
#include "metadata/heif_exif_reader.h"
#include "organize/capture_date.h"
#include "organize/file_facts.h"
#include "organize/folder_utils.h"
#include "organize/output_names.h"

namespace {

// Days from 1601-01-01 to the first of the month, in the proleptic Gregorian calendar.
std::int64_t DaysToMonth(std::int64_t year, std::int64_t month)
{
    // Counted from March, so that the leap day falls at the end of the counting year.
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t m = month > 2 ? month - 3 : month + 9;
    const std::int64_t dayOfYear = (153 * m + 2) / 5;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const std::int64_t daysFrom1970 = era * 146097 + dayOfEra - 719468;
    return daysFrom1970 + 134774;  // 1601-01-01 lies 134774 days before 1970-01-01
}

}  // namespace

AlbumFileKind AlbumFileKindOf(const std::wstring& path)
{
    static const struct {
        const wchar_t* extension;
        AlbumFileKind kind;
    } kKinds[] = {{L".jpg", AlbumFileKind::kPicture}, {L".jpeg", AlbumFileKind::kPicture},
                  {L".png", AlbumFileKind::kPicture}, {L".wav", AlbumFileKind::kAudio},
                  {L".mp3", AlbumFileKind::kAudio},   {L".mp4", AlbumFileKind::kVideo},
                  {L".ogv", AlbumFileKind::kVideo},   {L".webm", AlbumFileKind::kVideo},
                  {L".mov", AlbumFileKind::kVideo}};
    const std::wstring extension = LowerAscii(ExtensionOf(path));
    for (const auto& entry : kKinds) {
        if (extension == entry.extension)
            return entry.kind;
    }
    return AlbumFileKind::kOther;
}

std::int64_t LocalTimestamp(const SYSTEMTIME& date)
{
    const std::int64_t days = DaysToMonth(date.wYear, date.wMonth) + date.wDay - 1;
    const std::int64_t seconds = ((days * 24 + date.wHour) * 60 + date.wMinute) * 60 + date.wSecond;
    return seconds * 10000000 + std::int64_t{date.wMilliseconds} * 10000;
}

void AlbumDay::SortFiles()
{
    std::stable_sort(files.begin(), files.end(),
                     [](const AlbumFile& a, const AlbumFile& b) { return a.captureTime < b.captureTime; });
}

int AlbumMonth::FileCount() const
{
    int count = 0;
    for (const AlbumDay& entry : days)
        count += static_cast<int>(entry.files.size());
    return count;
}

AlbumYear::AlbumYear(std::int32_t yearNumber) : year(yearNumber)
{
    for (std::int32_t m = 0; m < 12; ++m) {
        months[static_cast<std::size_t>(m)].month = m + 1;
        for (std::int32_t d = 0; d < 31; ++d)
            months[static_cast<std::size_t>(m)].days[static_cast<std::size_t>(d)].day = d + 1;
    }
}

void AlbumMediaTree::Scan(const std::wstring& folder, std::int32_t includeOtherFiles, ProgressSink_CL* progress,
                          int workers)
{
    includeOther = includeOtherFiles;
    scanRoot_ = folder;
    std::vector<FoundFile> found;
    Walk(folder, progress, &found);
    std::vector<std::optional<DatedFile>> dated(found.size());
    ParallelFor(found.size(), workers,
                [&](std::size_t i) { dated[i] = Date(found[i].path, found[i].kind, &found[i].listed); });
    for (std::optional<DatedFile>& file : dated) {
        if (file)
            Place(std::move(*file));
    }
}

namespace {

// The album's walk of the output folder: every file but the program's own, in the order
// found. Links are passed by: what lies outside the output folder is never in its album.
class AlbumFileFinder : public FolderWalker {
public:
    AlbumFileFinder(ProgressSink_CL* progress, std::vector<AlbumMediaTree::FoundFile>* files)
        : progress_(progress), files_(files)
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
        files_->push_back(AlbumMediaTree::FoundFile{path, AlbumFileKindOf(path), found});
    }
    void OnLink(const std::wstring& path, const WIN32_FIND_DATAW&) override
    {
        g_Log.Write(L"リンクの先は写真一覧に含めません = %s", path.c_str());
    }

private:
    ProgressSink_CL* progress_;
    std::vector<AlbumMediaTree::FoundFile>* files_;
};

}  // namespace

void AlbumMediaTree::Walk(const std::wstring& folder, ProgressSink_CL* progress, std::vector<FoundFile>* files)
{
    AlbumFileFinder(progress, files).Walk(folder);
}

void AlbumMediaTree::AddFile(const std::wstring& path, AlbumFileKind kind, const WIN32_FIND_DATAW* found)
{
    if (std::optional<DatedFile> dated = Date(path, kind, found))
        Place(std::move(*dated));
}

std::optional<AlbumMediaTree::DatedFile> AlbumMediaTree::Date(const std::wstring& path, AlbumFileKind kind,
                                                              const WIN32_FIND_DATAW* found) const
{
    if (kind == AlbumFileKind::kOther && includeOther == 0)
        return std::nullopt;
    WIN32_FIND_DATAW listed{};
    if (!found) {
        WIN32_FILE_ATTRIBUTE_DATA attributes{};
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes))
            return std::nullopt;
        listed.nFileSizeHigh = attributes.nFileSizeHigh;
        listed.nFileSizeLow = attributes.nFileSizeLow;
        listed.ftLastWriteTime = attributes.ftLastWriteTime;
        found = &listed;
    }
    // One read of the file gives its date, and a picture's orientation and position; a file
    // unchanged since an earlier scan is not read again.
    const std::uint64_t size = (std::uint64_t{found->nFileSizeHigh} << 32) | found->nFileSizeLow;
    const std::uint64_t lastWrite =
        (std::uint64_t{found->ftLastWriteTime.dwHighDateTime} << 32) | found->ftLastWriteTime.dwLowDateTime;
    const std::wstring relative = scannedFacts ? Relative(path) : std::wstring();
    FileFacts_CL facts;
    bool hasDate = false;
    std::optional<ImageFacts> known;
    if (!relative.empty())
        known = scannedFacts->Find(relative, size, lastWrite);
    if (known) {
        facts.path = path;
        facts.size = size;
        facts.lastWrite = found->ftLastWriteTime;
        hasDate = DateFromImageFacts(&*known, true, &facts, dateRules);
    } else {
        std::optional<ImageFacts> read;
        hasDate = GatherFileFacts(path, found, &facts, dateRules, &read);
        if (!relative.empty() && read)
            scannedFacts->Record(relative, size, lastWrite, *read);
    }
    DatedFile dated{};
    if (hasDate) {
        dated.date = facts.date;
    } else if (kind != AlbumFileKind::kOther || !GetLastWriteDate(path, &dated.date)) {
        // A file of another kind still has a day: the one it was last written.
        return std::nullopt;
    }
    AlbumFile& file = dated.file;
    file.kind = kind;
    file.captureTime = LocalTimestamp(dated.date);
    file.path = path;
    file.orientation = facts.orientation.value_or(0);
    // A picture's position becomes a map link; so does that of a photo of the HEIF family,
    // which has no thumbnail. Other files keep theirs to themselves, as before.
    if (facts.gps && (kind == AlbumFileKind::kPicture || IsHeifExtension(path))) {
        file.gps = 1;
        file.latitude = facts.gps->first;
        file.longitude = facts.gps->second;
    }
    file.size = size;
    file.lastWrite = lastWrite;
    return dated;
}

std::wstring AlbumMediaTree::Relative(const std::wstring& path) const
{
    if (scanRoot_.empty() || path.size() <= scanRoot_.size() + 1 || path.compare(0, scanRoot_.size(), scanRoot_) != 0 ||
        path[scanRoot_.size()] != L'\\')
        return L"";
    return path.substr(scanRoot_.size() + 1);
}

void AlbumMediaTree::Place(DatedFile dated)
{
    const SYSTEMTIME& date = dated.date;
    auto entry = std::find_if(years.begin(), years.end(), [&](const AlbumYear& y) { return y.year == date.wYear; });
    if (entry == years.end()) {
        years.emplace_back(date.wYear);
        entry = years.end() - 1;
    }
    entry->months.at(static_cast<std::size_t>(date.wMonth - 1)).days.at(static_cast<std::size_t>(date.wDay - 1)).files.push_back(
        std::move(dated.file));
}

std::vector<AlbumFile*> AlbumMediaTree::Files()
{
    std::vector<AlbumFile*> all;
    for (AlbumYear& year : years)
        for (AlbumMonth& month : year.months)
            for (AlbumDay& day : month.days)
                for (AlbumFile& file : day.files)
                    all.push_back(&file);
    return all;
}

void AlbumMediaTree::SortYears()
{
    std::sort(years.begin(), years.end(), [](const AlbumYear& a, const AlbumYear& b) { return a.year < b.year; });
}

int AlbumMediaTree::FileCount() const
{
    int count = 0;
    for (const AlbumYear& year : years) {
        for (const AlbumMonth& month : year.months)
            count += month.FileCount();
    }
    return count;
}

void AlbumMediaTree::WriteAlbum(const AlbumSettings& settings)
{
    const int count = FileCount();
    g_Log.Write(L"写真の枚数         = %d", count);
    if (settings.progress) {
        settings.progress->SetTotal(settings.progress->Total() + static_cast<std::uint64_t>(count));
        settings.progress->AddProgress(0);
    }
    AlbumWrites& writes = *settings.writes;
    if (!writes.MakeFolder(settings.albumFolder) || !writes.MakeFolder(settings.albumFolder + L"\\thumb"))
        return;
    // Without the template the album has no style sheet, viewer pages or icons, but it is
    // written all the same; a template that is there must be copied whole.
    if (GetFileAttributesW(settings.templateFolder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        g_Log.Write(L"写真一覧のテンプレートがありません = %s", settings.templateFolder.c_str());
    } else {
        std::wstring failedPath;
        const StatusCode copied = CopyFolderTree(settings.templateFolder, settings.albumFolder, &failedPath);
        if (!writes.Check(copied, failedPath))
            return;
    }
    // A volume without named streams (a card in FAT) cannot take the mark: the pages work
    // without it.
    MarkZoneIdentifier(settings.albumFolder + L"\\picture.html", 0);
    MarkZoneIdentifier(settings.albumFolder + L"\\unknown.html", 0);

    std::wstring page;
    settings.WritePageHeader(page, settings.title, L".");
    for (AlbumYear& year : years) {
        wchar_t heading[256];
        std::swprintf(heading, 256, L"<div class='year_item'>%d年</div>\n", year.year);
        page += L"<div class='month_list'>\n";
        page += heading;
        year.WriteMonthList(settings, page);
        page += L"</div>\n";
    }
    settings.WritePageFooter(page);
    // The index comes last, and only to an album whose every other file was written: the
    // album that opens is never a broken one.
    if (writes.Failed())
        return;
    const std::wstring index = settings.albumFolder + L"\\" + settings.indexFileName;
    writes.Check(WriteTextFile(index, ToUtf8(page)), index);
}
