#include "organize/file_facts.h"

#include <algorithm>
#include <memory>
#include <new>

#include "metadata/file_reader.h"
#include "metadata/head_cached_reader.h"
#include "metadata/heif_exif_reader.h"

bool GatherFileFacts(const std::wstring& path, const WIN32_FIND_DATAW* found, FileFacts_CL* facts,
                     const CaptureDateRules& rules, std::optional<ImageFacts>* imageRead)
{
    *facts = FileFacts_CL{};
    facts->path = path;
    if (found) {
        facts->size = (std::uint64_t{found->nFileSizeHigh} << 32) | found->nFileSizeLow;
        facts->lastWrite = found->ftLastWriteTime;
    }
    ImageFacts image;
    bool hasImageFacts = false;
    std::unique_ptr<FileReader_CL> opened = FileReader_CL::Open(path);
    if (opened) {
        auto file = std::make_unique<HeadCachedReader>(std::move(opened));
        facts->size = file->Size();
        facts->readable = file->HeadRead();
        if (facts->readable) {
            const std::vector<std::uint8_t>& head = file->Head();
            facts->signature = ContentSignature(facts->size, head.data(), std::min(head.size(), kSignatureHeadBytes));
            std::string error;
            try {
                hasImageFacts = ReadImageFacts(std::move(file), path, &image, &error, IsHeifExtension(path));
            } catch (const std::bad_alloc&) {
                // Memory ran short for this one file's metadata: it is dated by its
                // last-write time like any file without a readable capture time.
                hasImageFacts = false;
            }
        }
    }
    if (imageRead && hasImageFacts)
        *imageRead = image;
    return DateFromImageFacts(hasImageFacts ? &image : nullptr, found != nullptr, facts, rules);
}

bool DateFromImageFacts(const ImageFacts* image, bool lastWriteKnown, FileFacts_CL* facts,
                        const CaptureDateRules& rules)
{
    if (image) {
        facts->orientation = image->orientation;
        facts->gps = image->gps;
    }
    facts->source = CaptureDateFromFacts(facts->path, image, lastWriteKnown ? &facts->lastWrite : nullptr, &facts->date,
                                         rules);
    return facts->source != CaptureDateSource::kNone;
}
