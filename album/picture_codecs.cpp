#include "album/picture_codecs.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <utility>

#include "album/whole_decodes.h"

// The libraries' headers are C, and libjpeg's needs the standard types before it.
extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}
#include <libheif/heif.h>

namespace {

// --- JPEG ---------------------------------------------------------------------------------

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back
// to the decode or encode that set the jump, which then tears its state down. Nothing of ours
// that owns memory lives between the jump and its target but what those functions own
// outside the jump's reach, and no C++ exception ever passes through the library: our
// callbacks catch their own and end the work through error_exit too. Warnings (damaged data
// the library works around) go unheard.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    // Why our own callbacks ended the decode, when they did.
    DecodeRefusal refusal = DecodeRefusal::kUnreadable;
};

[[noreturn]] void JumpOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void Quiet(j_common_ptr) {}

void UseErrors(JpegErrors* errors)
{
    jpeg_std_error(&errors->manager);
    errors->manager.error_exit = &JumpOnError;
    errors->manager.output_message = &Quiet;
}

// Called as the decode reads its input, row by row of every scan: past the last scan a JPEG
// may have, the decode ends the way a library error ends it.
void CountScans(j_common_ptr common)
{
    if (reinterpret_cast<j_decompress_ptr>(common)->input_scan_number > picture_limits::kMaxJpegScans) {
        reinterpret_cast<JpegErrors*>(common->err)->refusal = DecodeRefusal::kTooManyScans;
        (*common->err->error_exit)(common);
    }
}

// The scale of the decode: the largest division of the picture (8, 4, 2, 1) at which it still
// fills what it takes of the box, in its stored shape.
unsigned ScaleDenominator(std::uint32_t width, std::uint32_t height, std::int32_t boxWidth, std::int32_t boxHeight,
                          std::uint16_t orientation)
{
    const FittedSize fitted = FittedStoredSize(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                                               orientation, boxWidth, boxHeight);
    for (const unsigned denominator : {8u, 4u, 2u}) {
        const std::uint32_t w = (width + denominator - 1) / denominator, h = (height + denominator - 1) / denominator;
        if (fitted.width > 0 && fitted.height > 0 && w >= static_cast<std::uint32_t>(fitted.width) &&
            h >= static_cast<std::uint32_t>(fitted.height))
            return denominator;
    }
    return 1;
}

std::uint64_t RoundUp(std::uint64_t value, std::uint64_t step)
{
    return (value + step - 1) / step * step;
}

// What the decode of a read header holds at its output size: our pixels, and the library's
// coefficients. A picture of several scans (progressive, or components in scans of their
// own) keeps every coefficient of the whole picture at its stored size until its last scan
// is read: each component's blocks, rounded up to its sampling, 64 of 2 bytes each. A picture
// of one scan is decoded a row of blocks at a time.
std::uint64_t JpegDecodeBytes(j_decompress_ptr info, bool wholePicture)
{
    std::uint64_t bytes = std::uint64_t{info->output_width} * info->output_height * 3;
    for (int c = 0; c < info->num_components; ++c) {
        const jpeg_component_info& component = info->comp_info[c];
        const auto horizontal = static_cast<std::uint64_t>(component.h_samp_factor);
        const auto vertical = static_cast<std::uint64_t>(component.v_samp_factor);
        const std::uint64_t across = RoundUp(component.width_in_blocks, horizontal);
        const std::uint64_t down = wholePicture ? RoundUp(component.height_in_blocks, vertical) : vertical;
        bytes += across * down * DCTSIZE2 * sizeof(JCOEF);
    }
    return bytes;
}

// One CMYK row as BGR. Photoshop stores its CMYK inverted (said by its Adobe marker).
void CmykToBgr(const JSAMPLE* cmyk, std::uint32_t width, bool inverted, std::uint8_t* bgr)
{
    for (std::uint32_t x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const int c = inverted ? cmyk[0] : 255 - cmyk[0], m = inverted ? cmyk[1] : 255 - cmyk[1];
        const int y = inverted ? cmyk[2] : 255 - cmyk[2], k = inverted ? cmyk[3] : 255 - cmyk[3];
        bgr[0] = static_cast<std::uint8_t>(y * k / 255);
        bgr[1] = static_cast<std::uint8_t>(m * k / 255);
        bgr[2] = static_cast<std::uint8_t>(c * k / 255);
    }
}

// What a JPEG decode owns beside the library's state, outside the jump's reach.
struct JpegDecodeState {
    JpegErrors errors;
    jpeg_progress_mgr progress{};
    std::vector<JSAMPLE> cmykRow;
    std::optional<WholeDecodeTurn> turn;
};

// The decode proper, behind the jump: returns false for anything refused, with the refusal in
// the state's errors.
bool DecodeJpeg(jpeg_decompress_struct* info, JpegDecodeState* state, const std::uint8_t* data, std::size_t size,
                std::int32_t boxWidth, std::int32_t boxHeight, std::uint16_t orientation, DecodedPixels* decoded)
{
    if (setjmp(state->errors.jump))
        return false;
    jpeg_create_decompress(info);
    // The library's own bound on what it holds for a picture of several scans, beside ours.
    info->mem->max_memory_to_use = static_cast<long>(picture_limits::kMaxDecodeBytes);
    jpeg_mem_src(info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK)
        return false;
    const std::uint64_t sourcePixels = std::uint64_t{info->image_width} * info->image_height;
    if (sourcePixels == 0)
        return false;
    info->scale_num = 1;
    info->scale_denom = ScaleDenominator(info->image_width, info->image_height, boxWidth, boxHeight, orientation);
    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    info->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_calc_output_dimensions(info);
    const bool wholePicture = jpeg_has_multiple_scans(info);
    decoded->sourceWidth = info->image_width;
    decoded->sourceHeight = info->image_height;
    decoded->bytesNeeded = JpegDecodeBytes(info, wholePicture);
    if (sourcePixels > picture_limits::kMaxSourcePixels || decoded->bytesNeeded > picture_limits::kMaxDecodeBytes) {
        state->errors.refusal = DecodeRefusal::kTooLarge;
        return false;
    }
    try {
        if (cmyk)
            state->cmykRow.resize(std::size_t{info->output_width} * 4);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!decoded->pixels.Allocate(info->output_width, info->output_height))
        return false;
    if (wholePicture)
        state->turn.emplace();
    state->progress.progress_monitor = &CountScans;
    info->progress = &state->progress;
    jpeg_start_decompress(info);
    while (info->output_scanline < info->output_height) {
        std::uint8_t* row = decoded->pixels.bgr.data() + std::size_t{info->output_scanline} * decoded->pixels.stride;
        JSAMPROW target = cmyk ? state->cmykRow.data() : row;
        if (jpeg_read_scanlines(info, &target, 1) != 1)
            return false;
        if (cmyk)
            CmykToBgr(state->cmykRow.data(), info->output_width, info->saw_Adobe_marker, row);
    }
    jpeg_finish_decompress(info);
    return true;
}

// Encoded bytes gathered into a vector: nothing of the library's heap leaves it. A vector that
// cannot grow ends the encode through the library's error path, never by an exception
// through the library.
struct VectorDestination {
    jpeg_destination_mgr manager;
    std::vector<std::uint8_t>* bytes;
    std::uint8_t block[64 << 10];
};

void StartBlock(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
    destination->manager.next_output_byte = destination->block;
    destination->manager.free_in_buffer = sizeof destination->block;
}

// The first `count` bytes of the block added to the vector; false when memory ran short.
bool Append(VectorDestination* destination, std::size_t count) noexcept
{
    try {
        destination->bytes->insert(destination->bytes->end(), destination->block, destination->block + count);
        return true;
    } catch (...) {
        return false;
    }
}

boolean FlushBlock(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
    if (!Append(destination, sizeof destination->block))
        ERREXIT(info, JERR_FILE_WRITE);
    StartBlock(info);
    return TRUE;
}

void FlushRest(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
    if (!Append(destination, sizeof destination->block - destination->manager.free_in_buffer))
        ERREXIT(info, JERR_FILE_WRITE);
}

bool Encode(jpeg_compress_struct* info, JpegErrors* errors, VectorDestination* destination, const BgrPicture& picture,
            int quality)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_create_compress(info);
    destination->manager.init_destination = &StartBlock;
    destination->manager.empty_output_buffer = &FlushBlock;
    destination->manager.term_destination = &FlushRest;
    info->dest = &destination->manager;
    info->image_width = picture.width;
    info->image_height = picture.height;
    info->input_components = 3;
    info->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, quality, TRUE);
    jpeg_start_compress(info, TRUE);
    while (info->next_scanline < info->image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(picture.bgr.data() + std::size_t{info->next_scanline} * picture.stride);
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
    return true;
}

// --- HEIF -----------------------------------------------------------------------------------

void StartLibheif()
{
    static std::once_flag started;
    std::call_once(started, [] { heif_init(nullptr); });
}

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using UniqueHeifContext = std::unique_ptr<heif_context, ContextFree>;
using UniqueHeifHandle = std::unique_ptr<heif_image_handle, HandleRelease>;
using UniqueHeifImage = std::unique_ptr<heif_image, ImageRelease>;

bool Failed(const heif_error& error)
{
    return error.code != heif_error_Ok;
}

// The file's smallest thumbnail item that still fills minWidth x minHeight; null when none.
UniqueHeifHandle ThumbnailAtLeast(heif_image_handle* primary, std::uint32_t minWidth, std::uint32_t minHeight)
{
    UniqueHeifHandle best;
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0 || minWidth == 0 || minHeight == 0)
        return best;
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    const int listed = heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    for (int i = 0; i < listed; ++i) {
        heif_image_handle* thumbnail = nullptr;
        if (Failed(heif_image_handle_get_thumbnail(primary, ids[static_cast<std::size_t>(i)], &thumbnail)))
            continue;
        UniqueHeifHandle candidate(thumbnail);
        const int w = heif_image_handle_get_width(thumbnail), h = heif_image_handle_get_height(thumbnail);
        if (w <= 0 || h <= 0 || static_cast<std::uint32_t>(w) < minWidth || static_cast<std::uint32_t>(h) < minHeight)
            continue;
        if (!best || std::uint64_t(w) * h < std::uint64_t(heif_image_handle_get_width(best.get())) *
                                                heif_image_handle_get_height(best.get()))
            best = std::move(candidate);
    }
    return best;
}

// What libheif holds to decode a picture of the handle's size: its planes as phones and
// cameras store them (luma, two chroma planes of a quarter each, and alpha when there is
// one), one or two bytes a sample by its depth, and the interleaved RGB it makes of them.
std::uint64_t HeifDecodeBytes(const heif_image_handle* handle)
{
    const std::uint64_t pixels = std::uint64_t(heif_image_handle_get_width(handle)) *
                                 std::uint64_t(heif_image_handle_get_height(handle));
    const std::uint64_t sampleBytes = heif_image_handle_get_luma_bits_per_pixel(handle) > 8 ? 2 : 1;
    const std::uint64_t quarterPlanes = 6 + (heif_image_handle_has_alpha_channel(handle) ? 4 : 0);
    return pixels * sampleBytes * quarterPlanes / 4 + pixels * 3;
}

// libheif gives red first; our pictures put blue first.
void SwapRedAndBlue(BgrPicture* picture)
{
    for (std::uint32_t y = 0; y < picture->height; ++y) {
        std::uint8_t* pixel = picture->bgr.data() + std::size_t(y) * picture->stride;
        for (std::uint32_t x = 0; x < picture->width; ++x, pixel += 3)
            std::swap(pixel[0], pixel[2]);
    }
}

bool CopySwappingRedAndBlue(const std::uint8_t* rgb, std::uint32_t width, std::uint32_t height, std::uint32_t stride,
                            BgrPicture* picture)
{
    if (!picture->Allocate(width, height))
        return false;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* from = rgb + std::size_t(y) * stride;
        std::uint8_t* to = picture->bgr.data() + std::size_t(y) * picture->stride;
        for (std::uint32_t x = 0; x < width; ++x, from += 3, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
    return true;
}

}  // namespace

PictureContainer PictureContainerOf(const std::uint8_t* head, std::size_t size)
{
    if (size >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF)
        return PictureContainer::kJpeg;
    // The HEIF family by the brands of its first box, "ftyp": its major brand and the
    // compatible ones after it, four letters each.
    if (size < 16 || std::memcmp(head + 4, "ftyp", 4) != 0)
        return PictureContainer::kOther;
    const std::size_t boxSize = (std::size_t{head[0]} << 24) | (std::size_t{head[1]} << 16) |
                                (std::size_t{head[2]} << 8) | head[3];
    if (boxSize < 16 || boxSize > size)
        return PictureContainer::kOther;
    bool heif = false, av1 = false;
    auto look = [&](const std::uint8_t* brand) {
        for (const char* still : {"mif1", "heic", "heix", "heim", "heis", "avif"})
            heif = heif || std::memcmp(brand, still, 4) == 0;
        for (const char* sequence : {"msf1", "hevc", "hevx", "avis"})
            heif = heif || std::memcmp(brand, sequence, 4) == 0;
        av1 = av1 || std::memcmp(brand, "avif", 4) == 0 || std::memcmp(brand, "avis", 4) == 0;
    };
    look(head + 8);  // the major brand; then, past the minor version, the compatible ones
    for (std::size_t at = 16; at + 4 <= boxSize; at += 4)
        look(head + at);
    if (!heif)
        return PictureContainer::kOther;
    return av1 ? PictureContainer::kAvif : PictureContainer::kHeic;
}

bool DecodeJpegForBox(const std::uint8_t* data, std::size_t size, std::int32_t boxWidth, std::int32_t boxHeight,
                      std::uint16_t orientation, DecodedPixels* decoded)
{
    *decoded = DecodedPixels{};
    decoded->refusal = DecodeRefusal::kUnreadable;
    if (!data || size == 0 || size > (std::size_t{1} << 31))
        return false;
    jpeg_decompress_struct info{};
    JpegDecodeState state;
    UseErrors(&state.errors);
    info.err = &state.errors.manager;
    const bool done = DecodeJpeg(&info, &state, data, size, boxWidth, boxHeight, orientation, decoded);
    jpeg_destroy_decompress(&info);
    if (!done) {
        decoded->pixels = BgrPicture{};
        decoded->refusal = state.errors.refusal;
        return false;
    }
    decoded->refusal = DecodeRefusal::kNone;
    return true;
}

bool DecodeHeifForBox(const std::uint8_t* data, std::size_t size, std::int32_t boxWidth, std::int32_t boxHeight,
                      DecodedPixels* decoded)
{
    *decoded = DecodedPixels{};
    decoded->refusal = DecodeRefusal::kUnreadable;
    StartLibheif();
    UniqueHeifContext context(heif_context_alloc());
    if (!context)
        return false;
    heif_context_set_maximum_image_size_limit(context.get(), picture_limits::kMaxHeifSide);
    if (Failed(heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr)))
        return false;
    heif_image_handle* primaryHandle = nullptr;
    if (Failed(heif_context_get_primary_image_handle(context.get(), &primaryHandle)))
        return false;
    const UniqueHeifHandle primary(primaryHandle);
    const int sourceWidth = heif_image_handle_get_width(primaryHandle);
    const int sourceHeight = heif_image_handle_get_height(primaryHandle);
    if (sourceWidth <= 0 || sourceHeight <= 0)
        return false;
    const FittedSize fitted = FitIntoBox(sourceWidth, sourceHeight, boxWidth, boxHeight);
    const UniqueHeifHandle thumbnail = ThumbnailAtLeast(primaryHandle, static_cast<std::uint32_t>(fitted.width),
                                                        static_cast<std::uint32_t>(fitted.height));
    heif_image_handle* chosen = thumbnail ? thumbnail.get() : primaryHandle;
    decoded->sourceWidth = static_cast<std::uint32_t>(sourceWidth);
    decoded->sourceHeight = static_cast<std::uint32_t>(sourceHeight);
    decoded->bytesNeeded = HeifDecodeBytes(chosen);
    if (decoded->bytesNeeded > picture_limits::kMaxDecodeBytes) {
        decoded->refusal = DecodeRefusal::kTooLarge;
        return false;
    }

    const std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    if (!options)
        return false;
    options->convert_hdr_to_8bit = 1;  // ten-bit pictures come out in eight bits, as a JPEG holds
    const WholeDecodeTurn turn;
    heif_image* image = nullptr;
    if (Failed(heif_decode_image(chosen, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, options.get())))
        return false;
    const UniqueHeifImage owned(image);
    int stride = 0;
    const std::uint8_t* rgb = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    const int w = heif_image_get_width(image, heif_channel_interleaved);
    const int h = heif_image_get_height(image, heif_channel_interleaved);
    if (!rgb || w <= 0 || h <= 0 || stride < w * 3 || heif_image_get_bits_per_pixel_range(image, heif_channel_interleaved) != 8)
        return false;
    if (w >= fitted.width && h >= fitted.height && (w != fitted.width || h != fitted.height)) {
        // Shrunk straight from libheif's pixels (a mean of areas does not care which channel
        // comes first), so that no second whole-size copy is ever held; then blue put first.
        decoded->pixels = ShrinkByAreas(rgb, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h),
                                        static_cast<std::uint32_t>(stride), static_cast<std::uint32_t>(fitted.width),
                                        static_cast<std::uint32_t>(fitted.height));
        if (decoded->pixels.Empty())
            return false;
        SwapRedAndBlue(&decoded->pixels);
    } else if (!CopySwappingRedAndBlue(rgb, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h),
                                       static_cast<std::uint32_t>(stride), &decoded->pixels)) {
        return false;
    }
    decoded->refusal = DecodeRefusal::kNone;
    return true;
}

bool EncodeJpeg(const BgrPicture& picture, int quality, std::vector<std::uint8_t>* jpeg)
{
    jpeg->clear();
    if (picture.Empty())
        return false;
    jpeg_compress_struct info{};
    JpegErrors errors{};
    UseErrors(&errors);
    info.err = &errors.manager;
    const std::unique_ptr<VectorDestination> destination(new (std::nothrow) VectorDestination);
    if (!destination)
        return false;
    destination->bytes = jpeg;
    const bool done = Encode(&info, &errors, destination.get(), picture, quality);
    jpeg_destroy_compress(&info);
    if (!done)
        std::vector<std::uint8_t>().swap(*jpeg);
    return done;
}

std::string CodecVersions()
{
#define KASUMIRO_TEXT_OF(value) #value
#define KASUMIRO_VERSION_TEXT_OF(value) KASUMIRO_TEXT_OF(value)
    return std::string("libjpeg-turbo ") + KASUMIRO_VERSION_TEXT_OF(LIBJPEG_TURBO_VERSION) + ", libheif " +
           heif_get_version();
#undef KASUMIRO_VERSION_TEXT_OF
#undef KASUMIRO_TEXT_OF
}
