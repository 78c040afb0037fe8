#pragma once
// The output folder as the album sees it: every media file sorted into years, their twelve
// months and each month's thirty-one days. The only input of the page writers.

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <cstdint>
#include <string>
#include <vector>

#include "album/album_settings.h"
#include "album/scanned_facts.h"
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
    // From the scan's one read of the file: how to stand a picture upright, where it was taken.
    std::uint16_t orientation = 0;
    std::int32_t gps = 0;
    double latitude = 0.0;
    double longitude = 0.0;
    // What names its thumbnail in the cache: size and last-write time (FILETIME ticks).
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;
    // The thumbnail's JPEG bytes when the cache could not keep them; empty otherwise.
    std::shared_ptr<const std::vector<std::uint8_t>> heldThumbnail;
    bool thumbnailWritten = false;  // its file is in the album already
};

class AlbumDay {
public:
    // In capture order; files of one capture time keep the order they were found in.
    void SortFiles();
    // The day's block of its month page: heading and one item per file, in capture order;
    // makes the pictures' thumbnails and advances the progress by one per file.
    void WriteItems(const AlbumSettings& settings, std::int32_t year, std::int32_t month, std::wstring& page);

    std::int32_t day = 0;
    std::vector<AlbumFile> files;
};

class AlbumMonth {
public:
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
    // Walks the folder for media files; includeOther 0 leaves out files of kind Other. The files
    // are read for their dates on `workers` threads and filed in the order they were found.
    void Scan(const std::wstring& folder, std::int32_t includeOther, ProgressSink_CL* progress = nullptr,
              int workers = 1);
    // Dates the file and files it under its day, with what the one read of it told. found:
    // the listing's entry of the file, or null to ask the file system.
    void AddFile(const std::wstring& path, AlbumFileKind kind, const WIN32_FIND_DATAW* found = nullptr);
    // Every file of the tree, in no particular order; for the work done per file.
    std::vector<AlbumFile*> Files();
    // Removes the files the predicate picks.
    template <typename Predicate>
    void RemoveFiles(Predicate picks)
    {
        for (AlbumYear& year : years)
            for (AlbumMonth& month : year.months)
                for (AlbumDay& day : month.days)
                    std::erase_if(day.files, picks);
    }
    void SortYears();
    int FileCount() const;
    // Everything below the album folder: template, month pages and the thumbnails not written
    // yet, then the index page; each write's outcome goes to the settings' writes.
    void WriteAlbum(const AlbumSettings& settings);

    std::vector<AlbumYear> years;
    std::int32_t includeOther = 1;
    CaptureDateRules dateRules;  // how the files are dated
    // What earlier scans read, for files unchanged since; null: every file is read.
    ScannedFacts_CL* scannedFacts = nullptr;

    // A file found by the walk, not read yet.
    struct FoundFile {
        std::wstring path;
        AlbumFileKind kind;
        WIN32_FIND_DATAW listed;
    };

private:
    // A file with its day, ready to be filed.
    struct DatedFile {
        AlbumFile file;
        SYSTEMTIME date;
    };
    void Walk(const std::wstring& folder, ProgressSink_CL* progress, std::vector<FoundFile>* found);
    // The file read for its date and facts; nothing when it has no day or is not wanted.
    std::optional<DatedFile> Date(const std::wstring& path, AlbumFileKind kind, const WIN32_FIND_DATAW* found) const;
    void Place(DatedFile dated);
    // The path below the folder Scan walks; empty for a file added on its own.
    std::wstring Relative(const std::wstring& path) const;

    std::wstring scanRoot_;
};
