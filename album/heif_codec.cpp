#include "album/heif_codec.h"

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "album/whole_decodes.h"

#include <libheif/heif.h>

namespace {

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
    // The album decodes a picture on each core already: a phone's grid of tiles is decoded
    // on this thread, instead of on threads started for each tile and ended after it.
    heif_context_set_max_decoding_threads(context.get(), 0);
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

std::string HeifCodecVersion()
{
    return std::string("libheif ") + heif_get_version();
}
