#include "organize/file_facts.h"

#include <algorithm>
#include <memory>
#include <new>

#include "base/handles.h"
#include "base/paths.h"
#include "metadata/file_reader.h"
#include "metadata/head_cached_reader.h"
#include "metadata/heif_exif_locator.h"

FileRead ReadFileFacts(const std::wstring& path, const WIN32_FIND_DATAW* found)
{
    FileRead read;
    FileFacts* facts = &read.facts;
    facts->path = path;
    if (found) {
        facts->size = (std::uint64_t{found->nFileSizeHigh} << 32) | found->nFileSizeLow;
        facts->lastWrite = found->ftLastWriteTime;
    }
    read.lastWriteKnown = found != nullptr;
    std::unique_ptr<FileReader> opened = FileReader::Open(path);
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (opened && !found && GetFileAttributesExW(ExtendedLengthPath(path).c_str(), GetFileExInfoStandard, &attributes)) {
        facts->lastWrite = attributes.ftLastWriteTime;
        read.lastWriteKnown = true;
    }
    if (!opened)
        return read;
    auto file = std::make_unique<HeadCachedReader>(std::move(opened));
    facts->size = file->Size();
    facts->readable = file->HeadRead();
    if (!facts->readable)
        return read;
    const std::vector<std::uint8_t>& head = file->Head();
    facts->signature = ContentSignature(facts->size, head.data(), std::min(head.size(), kSignatureHeadBytes));
    ImageFacts image;
    std::string error;
    try {
        if (ReadImageFacts(std::move(file), path, &image, &error, IsHeifExtension(path)))
            read.image = std::move(image);
    } catch (const std::bad_alloc&) {
        // Memory ran short for this one file's metadata: it is dated by its last-write time
        // like any file without a readable capture time.
    }
    return read;
}

bool GatherFileFacts(const std::wstring& path, const WIN32_FIND_DATAW* found, FileFacts* facts,
                     const CaptureDateRules& rules, std::optional<ImageFacts>* imageRead, TakeoutSidecars* sidecars)
{
    FileRead read = ReadFileFacts(path, found);
    *facts = std::move(read.facts);
    if (imageRead && read.image)
        *imageRead = read.image;
    TakeoutSidecars own;
    return DateFromImageFacts(read.image ? &*read.image : nullptr, read.lastWriteKnown, facts, rules,
                              sidecars ? sidecars : &own);
}

bool DateFromImageFacts(const ImageFacts* image, bool lastWriteKnown, FileFacts* facts,
                        const CaptureDateRules& rules, TakeoutSidecars* sidecars)
{
    if (image) {
        facts->orientation = image->orientation;
        facts->gps = image->gps;
    }
    facts->source = CaptureDateFromFacts(facts->path, image, lastWriteKnown ? &facts->lastWrite : nullptr, &facts->date,
                                         rules, sidecars);
    return facts->source != CaptureDateSource::kNone;
}

CaptureDateSource ResolveCaptureDate(const std::wstring& path, SYSTEMTIME* date, const CaptureDateRules& rules)
{
    FileFacts facts;
    GatherFileFacts(path, nullptr, &facts, rules);
    *date = facts.date;
    return facts.source;
}

bool GetLastWriteDate(const std::wstring& path, SYSTEMTIME* date)
{
    UniqueFile file(CreateFileW(ExtendedLengthPath(path).c_str(), 0, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILETIME created{}, accessed{}, written{};
    return file && GetFileTime(file.get(), &created, &accessed, &written) && LocalDateOfFileTime(written, date);
}
