#include "organize/file_facts.h"

#include <algorithm>
#include <memory>

#include "metadata/file_reader.h"
#include "metadata/heif_exif_reader.h"

bool GatherFileFacts(const std::wstring& path, const WIN32_FIND_DATAW* found, FileFacts_CL* facts)
{
    *facts = FileFacts_CL{};
    facts->path = path;
    if (found) {
        facts->size = (std::uint64_t{found->nFileSizeHigh} << 32) | found->nFileSizeLow;
        facts->lastWrite = found->ftLastWriteTime;
    }
    ImageFacts image;
    std::unique_ptr<FileReader_CL> file = FileReader_CL::Open(path);
    if (file) {
        facts->size = file->Size();
        std::uint8_t head[kSignatureHeadBytes];
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(facts->size, kSignatureHeadBytes));
        if (count == 0 || file->ReadAt(0, head, count)) {
            facts->signature = ContentSignature(facts->size, head, count);
            std::string error;
            facts->readable = ReadImageFacts(std::move(file), path, &image, &error, IsHeifExtension(path));
        }
    }
    facts->source = CaptureDateFromFacts(path, facts->readable ? &image : nullptr, found ? &facts->lastWrite : nullptr,
                                         &facts->date);
    return facts->source != CaptureDateSource::kNone;
}
