#pragma once
// The files the album keeps in its cache folder, as bytes: the scan's facts ("scan.facts"),
// the list of thumbnail files ("thumbnails.list") and the thumbnail entries ("<hash>.thumb",
// "<hash>.none"). Each parser takes what a file holds and refuses anything that is not a
// whole, well-formed file of its kind, past the named limits too; nothing here touches a
// file, so that the parsers also build natively for fuzzing.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "album/album_limits.h"
#include "metadata/image_facts.h"

namespace cache_formats {

inline constexpr wchar_t kScannedListName[] = L"scan.facts";
inline constexpr wchar_t kThumbnailListName[] = L"thumbnails.list";

// --- scan.facts: paths below the output folder, in UTF-16 units -------------------------
struct ScannedEntry {
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;  // FILETIME ticks
    ImageFacts facts;
};
using ScannedList = std::map<std::wstring, ScannedEntry>;

// False for what the list cannot hold (a path or a text past its limit): the file is then
// simply read again next time.
bool FitsScannedList(const std::wstring& relativePath, const ImageFacts& facts);
std::vector<std::uint8_t> SerializeScannedList(const ScannedList& list);
bool ParseScannedList(const std::uint8_t* data, std::size_t size, ScannedList* list);

// --- thumbnails.list: paths below the album folder, in UTF-8 ----------------------------
struct ListedThumbnail {
    std::string entry;  // the name of the cache entry the file holds
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;  // FILETIME ticks, as the folder's listing gives them
};
using ThumbnailList = std::map<std::string, ListedThumbnail>;

std::string SerializeThumbnailList(const ThumbnailList& list);
bool ParseThumbnailList(const std::uint8_t* data, std::size_t size, ThumbnailList* list);

// --- a thumbnail entry: the JPEG bytes (none for a file that is no picture), the key text
// of the picture it shows, and a trailer that checks both ---------------------------------
std::vector<std::uint8_t> BuildEntry(const std::string& keyText, const std::vector<std::uint8_t>* jpeg);

enum class EntryCheck {
    kDamaged,      // not an entry, or not the entry of this key
    kThumbnail,    // jpegBytes of JPEG at its start
    kNotAPicture,  // the picture is known not to decode
};
EntryCheck CheckEntry(const std::uint8_t* data, std::size_t size, const std::string& keyText,
                      std::size_t* jpegBytes);

// The name of an entry: the hash of its key, and ".thumb" or ".none".
std::wstring EntryName(const std::string& keyText, bool thumbnail);
// Whether a name is of the form entries, their work files or the lists take: what the
// cache's clean-up may remove, and nothing else.
bool IsCacheFileName(const std::wstring& name);

}  // namespace cache_formats
