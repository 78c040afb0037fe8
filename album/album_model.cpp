#include "album/album_model.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/path_text.h"

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
                  {L".png", AlbumFileKind::kPicture}, {L".heic", AlbumFileKind::kPicture},
                  {L".heif", AlbumFileKind::kPicture}, {L".avif", AlbumFileKind::kPicture},
                  // What the system's imaging library decodes, each size checked from its header
                  // first (picture_header.h).
                  {L".gif", AlbumFileKind::kPicture}, {L".bmp", AlbumFileKind::kPicture},
                  {L".tif", AlbumFileKind::kPicture}, {L".tiff", AlbumFileKind::kPicture},
                  {L".wav", AlbumFileKind::kAudio},
                  {L".mp3", AlbumFileKind::kAudio},   {L".mp4", AlbumFileKind::kVideo},
                  {L".ogv", AlbumFileKind::kVideo},   {L".webm", AlbumFileKind::kVideo},
                  {L".mov", AlbumFileKind::kVideo},
                  // Camcorders' movies: the posters' FFmpeg reads them by their bytes.
                  {L".mts", AlbumFileKind::kVideo},   {L".m2ts", AlbumFileKind::kVideo},
                  {L".avi", AlbumFileKind::kVideo},   {L".mkv", AlbumFileKind::kVideo}};
    const std::wstring extension = LowerAscii(ExtensionOf(path));
    for (const auto& entry : kKinds) {
        if (extension == entry.extension)
            return entry.kind;
    }
    return AlbumFileKind::kOther;
}

bool BrowserPlaysMovie(const std::wstring& path)
{
    const std::wstring extension = LowerAscii(ExtensionOf(path));
    return extension == L".mp4" || extension == L".ogv" || extension == L".webm" || extension == L".mov";
}

std::int64_t LocalTimestamp(const SYSTEMTIME& date)
{
    const std::int64_t days = DaysToMonth(date.wYear, date.wMonth) + date.wDay - 1;
    const std::int64_t seconds = ((days * 24 + date.wHour) * 60 + date.wMinute) * 60 + date.wSecond;
    return seconds * 10000000 + std::int64_t{date.wMilliseconds} * 10000;
}

int AlbumMonth::FileCount() const
{
    int count = 0;
    for (const AlbumDay& day : days)
        count += static_cast<int>(day.files.size());
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

int AlbumYear::FileCount() const
{
    int count = 0;
    for (const AlbumMonth& month : months)
        count += month.FileCount();
    return count;
}

void AlbumModel::Add(AlbumFile file, const SYSTEMTIME& date)
{
    auto year = std::find_if(years_.begin(), years_.end(), [&](const AlbumYear& y) { return y.year == date.wYear; });
    if (year == years_.end()) {
        years_.emplace_back(date.wYear);
        year = years_.end() - 1;
    }
    AlbumMonth& month = year->months.at(static_cast<std::size_t>(date.wMonth - 1));
    month.days.at(static_cast<std::size_t>(date.wDay - 1)).files.push_back(std::move(file));
}

std::vector<AlbumFile*> AlbumModel::Files()
{
    std::vector<AlbumFile*> all;
    for (AlbumYear& year : years_)
        for (AlbumMonth& month : year.months)
            for (AlbumDay& day : month.days)
                for (AlbumFile& file : day.files)
                    all.push_back(&file);
    return all;
}

void AlbumModel::Sort()
{
    std::sort(years_.begin(), years_.end(), [](const AlbumYear& a, const AlbumYear& b) { return a.year < b.year; });
    for (AlbumYear& year : years_)
        for (AlbumMonth& month : year.months)
            for (AlbumDay& day : month.days)
                std::stable_sort(day.files.begin(), day.files.end(),
                                 [](const AlbumFile& a, const AlbumFile& b) { return a.captureTime < b.captureTime; });
}

bool AlbumModel::BringBack(const std::wstring& path)
{
    const auto aside = setAside_.find(path);
    if (aside == setAside_.end())
        return false;
    Add(std::move(aside->second.first), aside->second.second);
    setAside_.erase(aside);
    return true;
}

int AlbumModel::FileCount() const
{
    int count = 0;
    for (const AlbumYear& year : years_)
        count += year.FileCount();
    return count;
}

namespace {

// The folder and name of a path without its extension, in one case: what pairs a Live
// Photo's photo with its movie.
std::wstring LivePairName(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L'\\');
    const std::size_t dot = path.find_last_of(L'.');
    std::wstring name = dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash) ? path
                                                                                                  : path.substr(0, dot);
    if (!name.empty())
        CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

}  // namespace

void JoinLivePhotos(AlbumModel& model)
{
    std::map<std::wstring, AlbumFile*> photos;
    for (AlbumFile* file : model.Files()) {
        if (file->kind == AlbumFileKind::kPicture)
            photos.emplace(LivePairName(file->path), file);  // the first of several photos of one name
    }
    std::set<const AlbumFile*> joined;
    for (AlbumFile* file : model.Files()) {
        // The photo's viewer plays its movie: one a browser cannot play stays an item.
        if (file->kind != AlbumFileKind::kVideo || !BrowserPlaysMovie(file->path))
            continue;
        const auto photo = photos.find(LivePairName(file->path));
        if (photo == photos.end() || !photo->second->liveMovie.empty())
            continue;
        photo->second->liveMovie = file->path;
        joined.insert(file);
    }
    model.SetAside([&](const AlbumFile& file) { return joined.count(&file) != 0; });
}
