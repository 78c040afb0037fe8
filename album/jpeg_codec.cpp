#include "album/jpeg_codec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>

#include "album/whole_decodes.h"

// The library's headers are C, and need the standard types before them.
extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

namespace {

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

}  // namespace

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

std::string JpegCodecVersion()
{
#define KASUMIRO_TEXT_OF(value) #value
#define KASUMIRO_VERSION_TEXT_OF(value) KASUMIRO_TEXT_OF(value)
    return std::string("libjpeg-turbo ") + KASUMIRO_VERSION_TEXT_OF(LIBJPEG_TURBO_VERSION);
#undef KASUMIRO_VERSION_TEXT_OF
#undef KASUMIRO_TEXT_OF
}
