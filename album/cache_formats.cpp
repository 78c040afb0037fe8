#include "album/cache_formats.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "album/cache_bytes.h"

namespace cache_formats {

namespace {

// --- scan.facts ---------------------------------------------------------------------------

constexpr std::uint32_t kListMagic = 0x4653534B;  // "KSSF"
// 2: the camera, its exposure and the picture's size follow a file's dates. 3: the same, with
// the sizes of HEIF photos and movies, which version 2 lacks. A list of another version is not
// read: its files are simply read again.
constexpr std::uint32_t kListVersion = 3;

bool Fits(const std::optional<std::string>& text)
{
    return !text || text->size() <= cache_limits::kMaxTextBytes;
}

void PutText(std::vector<std::uint8_t>& bytes, const std::optional<std::string>& text)
{
    PutLittle(bytes, text ? 1 : 0, 1);
    if (!text)
        return;
    PutLittle(bytes, text->size(), 4);
    bytes.insert(bytes.end(), text->begin(), text->end());
}

// Reads the list's fields in order; once a field runs past the end, every later read fails.
class ListCursor {
public:
    ListCursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Number(int count, std::uint64_t* value)
    {
        if (!Has(static_cast<std::size_t>(count)))
            return false;
        *value = GetLittle(data_ + at_, count);
        at_ += static_cast<std::size_t>(count);
        return true;
    }
    bool Flag(bool* value)
    {
        std::uint64_t byte = 0;
        if (!Number(1, &byte) || byte > 1)
            return false;
        *value = byte == 1;
        return true;
    }
    bool Text(std::optional<std::string>* text)
    {
        bool present = false;
        std::uint64_t length = 0;
        if (!Flag(&present))
            return false;
        if (!present) {
            text->reset();
            return true;
        }
        if (!Number(4, &length) || length > cache_limits::kMaxTextBytes || !Has(static_cast<std::size_t>(length)))
            return false;
        text->emplace(reinterpret_cast<const char*>(data_ + at_), static_cast<std::size_t>(length));
        at_ += static_cast<std::size_t>(length);
        return true;
    }
    template <typename Value>
    bool Optional(int count, std::optional<Value>* value)
    {
        bool present = false;
        std::uint64_t number = 0;
        if (!Flag(&present) || (present && !Number(count, &number)))
            return false;
        if (present)
            *value = static_cast<Value>(number);
        else
            value->reset();
        return true;
    }
    // Present flag, numerator and denominator; a zero denominator is no list this program wrote.
    bool Rational(std::optional<ExifRational>* value)
    {
        bool present = false;
        std::uint64_t numerator = 0, denominator = 0;
        if (!Flag(&present))
            return false;
        value->reset();
        if (!present)
            return true;
        if (!Number(4, &numerator) || !Number(4, &denominator) || denominator == 0)
            return false;
        *value = ExifRational{static_cast<std::uint32_t>(numerator), static_cast<std::uint32_t>(denominator)};
        return true;
    }
    bool Path(std::wstring* path)
    {
        std::uint64_t units = 0;
        if (!Number(4, &units) || units == 0 || units > cache_limits::kMaxPathUnits || !Has(static_cast<std::size_t>(units) * 2))
            return false;
        path->resize(static_cast<std::size_t>(units));
        for (wchar_t& unit : *path) {
            unit = static_cast<wchar_t>(GetLittle(data_ + at_, 2));
            at_ += 2;
        }
        return true;
    }
    bool AtEnd() const { return at_ == size_; }

private:
    bool Has(std::size_t count) const { return count <= size_ - at_; }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

bool ReadFacts(ListCursor& cursor, ImageFacts* facts)
{
    std::uint64_t format = 0;
    bool gps = false;
    if (!cursor.Number(1, &format) || format > static_cast<std::uint64_t>(kLastImageFormat) ||
        !cursor.Flag(&facts->exif) || !cursor.Text(&facts->dateTimeOriginal) || !cursor.Text(&facts->dateTime) ||
        !cursor.Optional(2, &facts->orientation) || !cursor.Flag(&gps))
        return false;
    facts->format = static_cast<ImageFormat>(format);
    if (gps) {
        std::uint64_t north = 0, east = 0;
        if (!cursor.Number(8, &north) || !cursor.Number(8, &east))
            return false;
        facts->gps = std::make_pair(std::bit_cast<double>(north), std::bit_cast<double>(east));
        // What the Exif reader gives is always a number.
        if (!std::isfinite(facts->gps->first) || !std::isfinite(facts->gps->second))
            return false;
    }
    std::optional<std::uint64_t> captureTime;
    if (!cursor.Optional(8, &captureTime) || !cursor.Optional(8, &facts->movieCreated))
        return false;
    if (captureTime)
        facts->captureTime = static_cast<std::int64_t>(*captureTime);
    bool sized = false;
    if (!cursor.Text(&facts->make) || !cursor.Text(&facts->model) || !cursor.Rational(&facts->exposureTime) ||
        !cursor.Rational(&facts->fNumber) || !cursor.Optional(4, &facts->isoSpeed) ||
        !cursor.Rational(&facts->focalLength) || !cursor.Optional(4, &facts->focalLength35mm) || !cursor.Flag(&sized))
        return false;
    if (sized) {
        std::uint64_t width = 0, height = 0;
        if (!cursor.Number(4, &width) || !cursor.Number(4, &height))
            return false;
        facts->pixelSize = std::make_pair(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    }
    return true;
}

void PutRational(std::vector<std::uint8_t>& bytes, const std::optional<ExifRational>& value)
{
    PutLittle(bytes, value ? 1 : 0, 1);
    if (!value)
        return;
    PutLittle(bytes, value->numerator, 4);
    PutLittle(bytes, value->denominator, 4);
}

void PutNumber(std::vector<std::uint8_t>& bytes, const std::optional<std::uint32_t>& value)
{
    PutLittle(bytes, value ? 1 : 0, 1);
    if (value)
        PutLittle(bytes, *value, 4);
}

void WriteFacts(std::vector<std::uint8_t>& bytes, const ImageFacts& facts)
{
    PutLittle(bytes, static_cast<std::uint64_t>(facts.format), 1);
    PutLittle(bytes, facts.exif ? 1 : 0, 1);
    PutText(bytes, facts.dateTimeOriginal);
    PutText(bytes, facts.dateTime);
    PutLittle(bytes, facts.orientation ? 1 : 0, 1);
    if (facts.orientation)
        PutLittle(bytes, *facts.orientation, 2);
    PutLittle(bytes, facts.gps ? 1 : 0, 1);
    if (facts.gps) {
        PutLittle(bytes, std::bit_cast<std::uint64_t>(facts.gps->first), 8);
        PutLittle(bytes, std::bit_cast<std::uint64_t>(facts.gps->second), 8);
    }
    PutLittle(bytes, facts.captureTime ? 1 : 0, 1);
    if (facts.captureTime)
        PutLittle(bytes, static_cast<std::uint64_t>(*facts.captureTime), 8);
    PutLittle(bytes, facts.movieCreated ? 1 : 0, 1);
    if (facts.movieCreated)
        PutLittle(bytes, *facts.movieCreated, 8);
    PutText(bytes, facts.make);
    PutText(bytes, facts.model);
    PutRational(bytes, facts.exposureTime);
    PutRational(bytes, facts.fNumber);
    PutNumber(bytes, facts.isoSpeed);
    PutRational(bytes, facts.focalLength);
    PutNumber(bytes, facts.focalLength35mm);
    PutLittle(bytes, facts.pixelSize ? 1 : 0, 1);
    if (facts.pixelSize) {
        PutLittle(bytes, facts.pixelSize->first, 4);
        PutLittle(bytes, facts.pixelSize->second, 4);
    }
}

// --- thumbnails.list ------------------------------------------------------------------------

constexpr char kThumbnailListHeader[] = "kasumiro thumbnail files 1";

bool ParseNumber(std::string_view text, std::uint64_t* value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, *value);
    return !text.empty() && error == std::errc() && stop == end;
}

// --- entries ------------------------------------------------------------------------------------

// The trailer every entry ends with, after the JPEG bytes and the key text.
constexpr std::uint32_t kEntryMagic = 0x4354534B;  // "KSTC"
constexpr std::uint32_t kEntryVersion = 1;
constexpr std::size_t kTrailerBytes = 24;

bool IsHexDigits(const std::wstring& text, std::size_t from, std::size_t count)
{
    if (text.size() < from + count)
        return false;
    for (std::size_t i = from; i < from + count; ++i) {
        const wchar_t c = text[i];
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f')))
            return false;
    }
    return true;
}

// The work name of a write ("<name>.part", with the writing thread's number or none).
bool IsNameOrItsWorkName(const std::wstring& name, const std::wstring& base)
{
    if (name.compare(0, base.size(), base) != 0)
        return false;
    const std::wstring rest = name.substr(base.size());
    if (rest.empty())
        return true;
    if (rest.compare(0, 5, L".part") != 0)
        return false;
    for (std::size_t i = 5; i < rest.size(); ++i) {
        if (rest[i] < L'0' || rest[i] > L'9')
            return false;
    }
    return true;
}

}  // namespace

bool FitsScannedList(const std::wstring& relativePath, const ImageFacts& facts)
{
    return !relativePath.empty() && relativePath.size() <= cache_limits::kMaxPathUnits && Fits(facts.dateTimeOriginal) &&
           Fits(facts.dateTime) && Fits(facts.make) && Fits(facts.model);
}

std::vector<std::uint8_t> SerializeScannedList(const ScannedList& list)
{
    std::vector<std::uint8_t> bytes;
    PutLittle(bytes, kListMagic, 4);
    PutLittle(bytes, kListVersion, 4);
    PutLittle(bytes, list.size(), 4);
    for (const auto& [path, entry] : list) {
        PutLittle(bytes, path.size(), 4);
        for (const wchar_t unit : path)
            PutLittle(bytes, static_cast<std::uint16_t>(unit), 2);
        PutLittle(bytes, entry.size, 8);
        PutLittle(bytes, entry.lastWrite, 8);
        WriteFacts(bytes, entry.facts);
    }
    PutLittle(bytes, Fnv1a(bytes.data(), bytes.size()), 8);
    return bytes;
}

bool ParseScannedList(const std::uint8_t* data, std::size_t size, ScannedList* list)
{
    list->clear();
    if (size < 20 || size > cache_limits::kMaxScannedFactsBytes || GetLittle(data + size - 8, 8) != Fnv1a(data, size - 8))
        return false;
    ListCursor cursor(data, size - 8);
    std::uint64_t magic = 0, version = 0, count = 0;
    if (!cursor.Number(4, &magic) || magic != kListMagic || !cursor.Number(4, &version) || version != kListVersion ||
        !cursor.Number(4, &count) || count > cache_limits::kMaxListedFiles)
        return false;
    for (std::uint64_t i = 0; i < count; ++i) {
        std::wstring path;
        ScannedEntry entry;
        if (!cursor.Path(&path) || !cursor.Number(8, &entry.size) || !cursor.Number(8, &entry.lastWrite) ||
            !ReadFacts(cursor, &entry.facts)) {
            list->clear();
            return false;
        }
        (*list)[std::move(path)] = std::move(entry);
    }
    if (!cursor.AtEnd()) {
        list->clear();
        return false;
    }
    return true;
}

std::string SerializeThumbnailList(const ThumbnailList& list)
{
    std::string text = std::string(kThumbnailListHeader) + "\n";
    for (const auto& [relative, listed] : list)
        text += listed.entry + "\t" + std::to_string(listed.size) + "\t" + std::to_string(listed.lastWrite) + "\t" +
                relative + "\n";
    return text;
}

bool ParseThumbnailList(const std::uint8_t* data, std::size_t size, ThumbnailList* list)
{
    list->clear();
    if (size > cache_limits::kMaxThumbnailListBytes)
        return false;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The header line, then one line a file: entry TAB size TAB last-write TAB path.
    const std::size_t headerEnd = text.find('\n');
    if (headerEnd == std::string_view::npos || text.substr(0, headerEnd) != kThumbnailListHeader)
        return false;
    for (std::size_t at = headerEnd + 1; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos || list->size() >= cache_limits::kMaxListedFiles) {
            list->clear();  // cut short, or more than any album holds
            return false;
        }
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        const std::size_t first = line.find('\t');
        const std::size_t second = first == std::string_view::npos ? first : line.find('\t', first + 1);
        const std::size_t third = second == std::string_view::npos ? second : line.find('\t', second + 1);
        ListedThumbnail listed;
        if (third != std::string_view::npos)
            listed.entry = std::string(line.substr(0, first));
        if (third == std::string_view::npos || listed.entry.empty() || third + 1 == line.size() ||
            !ParseNumber(line.substr(first + 1, second - first - 1), &listed.size) ||
            !ParseNumber(line.substr(second + 1, third - second - 1), &listed.lastWrite)) {
            list->clear();
            return false;
        }
        (*list)[std::string(line.substr(third + 1))] = std::move(listed);
    }
    return true;
}

std::vector<std::uint8_t> BuildEntry(const std::string& keyText, const std::vector<std::uint8_t>* jpeg)
{
    std::vector<std::uint8_t> bytes;
    if (jpeg)
        bytes = *jpeg;
    bytes.insert(bytes.end(), keyText.begin(), keyText.end());
    const std::uint64_t checksum = Fnv1a(bytes.data(), bytes.size());
    PutLittle(bytes, kEntryMagic, 4);
    PutLittle(bytes, kEntryVersion, 4);
    PutLittle(bytes, jpeg ? jpeg->size() : 0, 4);
    PutLittle(bytes, keyText.size(), 4);
    PutLittle(bytes, checksum, 8);
    return bytes;
}

EntryCheck CheckEntry(const std::uint8_t* data, std::size_t size, const std::string& keyText, std::size_t* jpegBytes)
{
    *jpegBytes = 0;
    if (size < kTrailerBytes || size > cache_limits::kMaxEntryBytes)
        return EntryCheck::kDamaged;
    const std::uint8_t* trailer = data + size - kTrailerBytes;
    const auto imageBytes = static_cast<std::size_t>(GetLittle(trailer + 8, 4));
    const auto keyBytes = static_cast<std::size_t>(GetLittle(trailer + 12, 4));
    // Every length is checked against what the file holds before it is used.
    if (GetLittle(trailer, 4) != kEntryMagic || GetLittle(trailer + 4, 4) != kEntryVersion ||
        keyBytes != keyText.size() || keyBytes > size - kTrailerBytes ||
        imageBytes != size - kTrailerBytes - keyBytes ||
        std::memcmp(data + imageBytes, keyText.data(), keyBytes) != 0 ||
        GetLittle(trailer + 16, 8) != Fnv1a(data, imageBytes + keyBytes))
        return EntryCheck::kDamaged;
    *jpegBytes = imageBytes;
    return imageBytes == 0 ? EntryCheck::kNotAPicture : EntryCheck::kThumbnail;
}

std::wstring EntryName(const std::string& keyText, bool thumbnail)
{
    char name[32];
    std::snprintf(name, sizeof name, thumbnail ? "%016llx.thumb" : "%016llx.none",
                  static_cast<unsigned long long>(
                      Fnv1a(reinterpret_cast<const std::uint8_t*>(keyText.data()), keyText.size())));
    return std::wstring(name, name + std::strlen(name));
}

bool IsCacheFileName(const std::wstring& name)
{
    if (IsNameOrItsWorkName(name, kScannedListName) || IsNameOrItsWorkName(name, kThumbnailListName))
        return true;
    if (!IsHexDigits(name, 0, 16))
        return false;
    const std::wstring kind = name.substr(16);
    return IsNameOrItsWorkName(kind, L".thumb") || IsNameOrItsWorkName(kind, L".none");
}

}  // namespace cache_formats
