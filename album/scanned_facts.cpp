#include "album/scanned_facts.h"

#include <windows.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "album/album_text.h"
#include "album/cache_bytes.h"

namespace {

constexpr std::uint32_t kListMagic = 0x4653534B;  // "KSSF"
constexpr std::uint32_t kListVersion = 1;
// Longer than any path Windows opens; a longer one is not ours.
constexpr std::uint32_t kMaxPathUnits = 32767;
// Capture-time texts are 20 bytes; a file whose texts run past this is simply read each time.
constexpr std::uint32_t kMaxTextBytes = 4096;
// A few dozen bytes per file; a larger list is not ours.
constexpr std::uint64_t kMaxListBytes = 256u << 20;

void PutText(std::vector<std::uint8_t>& bytes, const std::optional<std::string>& text)
{
    PutLittle(bytes, text ? 1 : 0, 1);
    if (!text)
        return;
    PutLittle(bytes, text->size(), 4);
    bytes.insert(bytes.end(), text->begin(), text->end());
}

bool Fits(const std::optional<std::string>& text)
{
    return !text || text->size() <= kMaxTextBytes;
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
        if (!Number(4, &length) || length > kMaxTextBytes || !Has(static_cast<std::size_t>(length)))
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
    bool Path(std::wstring* path)
    {
        std::uint64_t units = 0;
        if (!Number(4, &units) || units == 0 || units > kMaxPathUnits || !Has(static_cast<std::size_t>(units) * 2))
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
    std::optional<std::uint64_t> latitude, longitude;
    bool gps = false;
    if (!cursor.Number(1, &format) || format > static_cast<std::uint64_t>(ImageFormat::kOther) ||
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
    return true;
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
}

}  // namespace

ScannedFacts_CL::ScannedFacts_CL(const std::wstring& cacheFolder) : listPath_(cacheFolder + L"\\" + kListName)
{
    std::vector<std::uint8_t> bytes;
    if (ReadFileBytes(listPath_, kMaxListBytes, &bytes))
        Parse(bytes);
}

std::optional<ImageFacts> ScannedFacts_CL::Find(const std::wstring& relativePath, std::uint64_t size,
                                                std::uint64_t lastWrite)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = previous_.find(relativePath);
    if (found == previous_.end() || found->second.size != size || found->second.lastWrite != lastWrite)
        return std::nullopt;
    current_[relativePath] = found->second;
    return found->second.facts;
}

void ScannedFacts_CL::Record(const std::wstring& relativePath, std::uint64_t size, std::uint64_t lastWrite,
                             const ImageFacts& facts)
{
    if (relativePath.empty() || relativePath.size() > kMaxPathUnits || !Fits(facts.dateTimeOriginal) ||
        !Fits(facts.dateTime))
        return;
    const std::lock_guard<std::mutex> lock(mutex_);
    current_[relativePath] = Entry{size, lastWrite, facts};
}

std::vector<std::uint8_t> ScannedFacts_CL::Serialize() const
{
    std::vector<std::uint8_t> bytes;
    PutLittle(bytes, kListMagic, 4);
    PutLittle(bytes, kListVersion, 4);
    const std::lock_guard<std::mutex> lock(mutex_);
    PutLittle(bytes, current_.size(), 4);
    for (const auto& [path, entry] : current_) {
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

bool ScannedFacts_CL::Parse(const std::vector<std::uint8_t>& bytes)
{
    std::map<std::wstring, Entry> list;
    if (bytes.size() < 20 || GetLittle(bytes.data() + bytes.size() - 8, 8) != Fnv1a(bytes.data(), bytes.size() - 8))
        return false;
    ListCursor cursor(bytes.data(), bytes.size() - 8);
    std::uint64_t magic = 0, version = 0, count = 0;
    if (!cursor.Number(4, &magic) || magic != kListMagic || !cursor.Number(4, &version) || version != kListVersion ||
        !cursor.Number(4, &count))
        return false;
    for (std::uint64_t i = 0; i < count; ++i) {
        std::wstring path;
        Entry entry;
        if (!cursor.Path(&path) || !cursor.Number(8, &entry.size) || !cursor.Number(8, &entry.lastWrite) ||
            !ReadFacts(cursor, &entry.facts))
            return false;
        list[path] = std::move(entry);
    }
    if (!cursor.AtEnd())
        return false;
    const std::lock_guard<std::mutex> lock(mutex_);
    previous_ = std::move(list);
    return true;
}

bool ScannedFacts_CL::Save() const
{
    const std::vector<std::uint8_t> bytes = Serialize();
    return ReplaceFileWhole(listPath_, bytes.data(), bytes.size());
}
