#pragma once
// The output folder as the album sees it: every media file sorted into years, their twelve
// months and each month's thirty-one days. The only input of the page writers.

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "album/album_settings.h"
#include "organize/capture_date.h"

enum class AlbumFileKind : std::int32_t {
    kPicture = 0,  // .jpg .jpeg .png
    kAudio = 1,    // .wav .mp3
    kVideo = 2,    // .mp4 .ogv .webm .mov
    kOther = 3,    // anything else
};

// The kind of a path by its extension (from the last "." of the whole path, any case).
AlbumFileKind AlbumFileKindOf(const std::wstring& path);

// A local calendar date-time as 100-nanosecond ticks since 1601-01-01, with no time-zone
// conversion. Counted from the date's own fields, so a day the range tests let through but
// the calendar lacks (30 February) gets the ticks of the days it runs past the month's end,
// and sorts after every real day of that month.
std::int64_t LocalTimestamp(const SYSTEMTIME& date);

struct AlbumFile {
    AlbumFileKind kind = AlbumFileKind::kOther;
    std::int64_t captureTime = 0;  // LocalTimestamp of the capture date
    std::wstring path;
    std::int32_t gps = 0;  // set, with the position, while the month page is written
    double latitude = 0.0;
    double longitude = 0.0;
};

class AlbumDay {
public:
    void AddFile(AlbumFileKind kind, const std::wstring& path, std::int64_t captureTime);
    // The day's block of its month page: heading and one item per file, in capture order;
    // makes the pictures' thumbnails and advances the progress by one per file.
    void WriteItems(const AlbumSettings& settings, std::int32_t year, std::int32_t month, std::wstring& page);

    std::int32_t day = 0;
    std::vector<AlbumFile> files;
};

class AlbumMonth {
public:
    void AddFile(AlbumFileKind kind, std::int32_t day, const std::wstring& path, std::int64_t captureTime);
    int FileCount() const;
    // Builds and writes the month's page file.
    void WritePage(const AlbumSettings& settings, std::int32_t year);

    std::int32_t month = 0;
    std::array<AlbumDay, 31> days;
};

class AlbumYear {
public:
    explicit AlbumYear(std::int32_t yearNumber);
    // The year's twelve month items of the index, writing the page of each month with files.
    void WriteMonthList(const AlbumSettings& settings, std::wstring& page);

    std::int32_t year;
    std::array<AlbumMonth, 12> months;
};

class AlbumMediaTree {
public:
    // Walks the folder for media files; includeOther 0 leaves out files of kind Other.
    void Scan(const std::wstring& folder, std::int32_t includeOther, ProgressSink_CL* progress = nullptr);
    void AddFile(const std::wstring& path, AlbumFileKind kind);
    void SortYears();
    int FileCount() const;
    // Everything below the album folder: template, index page, month pages, thumbnails.
    void WriteAlbum(const AlbumSettings& settings);

    std::vector<AlbumYear> years;
    std::int32_t includeOther = 1;
    CaptureDateRules dateRules;  // how the files are dated

private:
    void Walk(const std::wstring& folder, ProgressSink_CL* progress);
};
