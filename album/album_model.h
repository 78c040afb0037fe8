#pragma once
// The output folder as the album sees it: every media file filed under its year, month and
// day. The scan builds it; the thumbnails and the page writers read it.

#include <windows.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "metadata/exif_rational.h"
#include "organize/capture_date.h"

enum class AlbumFileKind : std::int32_t {
    kPicture = 0,  // .jpg .jpeg .png, and the HEIF family: .heic .heif .avif
    kAudio = 1,    // .wav .mp3
    kVideo = 2,    // .mp4 .ogv .webm .mov, and what camcorders write: .mts .m2ts .avi .mkv
    kOther = 3,    // anything else
};

// The kind of a path by its extension (from the last "." of the whole path, any case).
AlbumFileKind AlbumFileKindOf(const std::wstring& path);
// True for a movie a browser plays by itself (.mp4 .ogv .webm .mov): a camcorder's MPEG-TS,
// an AVI or a Matroska file is shown by its poster and offered as a file.
bool BrowserPlaysMovie(const std::wstring& path);

// A local calendar date-time as 100-nanosecond ticks since 1601-01-01, with no time-zone
// conversion. Counted from the date's own fields, so a day the range tests let through but
// the calendar lacks (30 February) gets the ticks of the days it runs past the month's end,
// and sorts after every real day of that month.
std::int64_t LocalTimestamp(const SYSTEMTIME& date);

// What the viewer tells of a file beside the picture, from the scan's one read of it.
struct AlbumFileFacts {
    CaptureDateSource dateSource = CaptureDateSource::kNone;
    // Make and model as one name ("Canon EOS 40D"), as the file's bytes give them.
    std::string camera;
    std::optional<ExifRational> exposureTime;
    std::optional<ExifRational> fNumber;
    std::optional<ExifRational> focalLength;
    std::uint32_t isoSpeed = 0;         // 0: not known
    std::uint32_t focalLength35mm = 0;  // 0: not known
    std::uint32_t width = 0;            // as shown, standing up; 0: not known
    std::uint32_t height = 0;
};

struct AlbumFile {
    AlbumFileKind kind = AlbumFileKind::kOther;
    std::int64_t captureTime = 0;  // LocalTimestamp of the capture date
    std::wstring path;
    // From the scan's one read of the file: how to stand a picture upright, where it was taken.
    std::uint16_t orientation = 0;
    // A photo browsers do not show (the HEIF family or TIFF, by its bytes): the viewer shows a
    // JPEG of it that the album makes.
    bool viewAsJpeg = false;
    bool hasPosition = false;
    double latitude = 0.0;
    double longitude = 0.0;
    // What names its thumbnail in the cache: size and last-write time (FILETIME ticks).
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;
    // The thumbnail's JPEG bytes when the cache could not keep them; empty otherwise.
    std::shared_ptr<const std::vector<std::uint8_t>> heldThumbnail;
    // A movie shown as its poster (a frame of it), with its length; one FFmpeg cannot decode
    // is shown as a player alone.
    bool hasPoster = false;
    std::int64_t movieLengthMs = 0;
    // A Live Photo's movie, for the photo it belongs to; empty for any other file.
    std::wstring liveMovie;
    AlbumFileFacts facts;
};

struct AlbumDay {
    std::int32_t day = 0;
    std::vector<AlbumFile> files;  // in capture order once the model is sorted
};

struct AlbumMonth {
    std::int32_t month = 0;
    std::array<AlbumDay, 31> days;

    int FileCount() const;
};

struct AlbumYear {
    explicit AlbumYear(std::int32_t yearNumber);
    int FileCount() const;

    std::int32_t year;
    std::array<AlbumMonth, 12> months;
};

class AlbumModel;
// A Live Photo is one item: a photo and a movie a browser plays, of the same name (but for the
// extension, in any case) in the same folder. The photo keeps the movie's path; the movie is no
// item of its own, but is kept aside in the model, for a photo that proves no picture.
void JoinLivePhotos(AlbumModel& model);

class AlbumModel {
public:
    // Files the file under the day of its date (which must have a month and a day in range).
    void Add(AlbumFile file, const SYSTEMTIME& date);
    // Every file, in no particular order; for the work done per file.
    std::vector<AlbumFile*> Files();
    // Removes the files the predicate picks.
    template <typename Predicate>
    void RemoveFiles(Predicate picks)
    {
        for (AlbumYear& year : years_)
            for (AlbumMonth& month : year.months)
                for (AlbumDay& day : month.days)
                    std::erase_if(day.files, picks);
    }
    // Takes the files the predicate picks out of their days, each kept aside by its path with
    // the day it was filed under, until BringBack puts it back there.
    template <typename Predicate>
    void SetAside(Predicate picks)
    {
        for (AlbumYear& year : years_)
            for (AlbumMonth& month : year.months)
                for (AlbumDay& day : month.days)
                    std::erase_if(day.files, [&](AlbumFile& file) {
                        if (!picks(file))
                            return false;
                        const SYSTEMTIME date{static_cast<WORD>(year.year), static_cast<WORD>(month.month), 0,
                                              static_cast<WORD>(day.day), 0, 0, 0, 0};
                        std::wstring path = file.path;  // before the file is moved from
                        setAside_.insert_or_assign(std::move(path), std::make_pair(std::move(file), date));
                        return true;
                    });
    }
    // False when no file of that path is aside.
    bool BringBack(const std::wstring& path);
    // The years in ascending order and each day's files in capture order (files of one capture
    // time keep the order they were added in): the order of the pages and of the thumbnails'
    // names.
    void Sort();
    int FileCount() const;
    const std::vector<AlbumYear>& Years() const { return years_; }
    std::vector<AlbumYear>& Years() { return years_; }

private:
    std::vector<AlbumYear> years_;
    std::map<std::wstring, std::pair<AlbumFile, SYSTEMTIME>> setAside_;
};
