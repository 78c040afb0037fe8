#include "album/picture_codecs.h"

#include "metadata/file_kind.h"

PictureDecoder PictureDecoderOf(std::span<const std::uint8_t> bytes)
{
    const FileKind kind = SniffFileKind(bytes);
    if (kind == FileKind::kJpeg)
        return PictureDecoder::kJpeg;
    if (IsHeifFamily(kind))
        return PictureDecoder::kHeif;
    return PictureDecoder::kImagingLibrary;
}

std::string CodecVersions()
{
    return JpegCodecVersion() + ", " + HeifCodecVersion();
}
