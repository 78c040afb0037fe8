#include "album/movie_poster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "album/album_limits.h"
#include "album/whole_decodes.h"
#include "metadata/file_reader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace {

// How far into the movie its poster is taken: past a fade-in or a shaky start, early enough
// that the frame still shows what the clip was taken of.
constexpr std::int64_t kPosterAtMs = 1000;
// The reader's buffer: one read of the disk serves this much of the demuxer's asking.
constexpr int kReadBufferBytes = 64 * 1024;
// A frame's picture and its reference frames together: a few times the frame's pixels.
constexpr std::uint64_t kDecodeBytesPerPixel = 6;
// The comment that carries a poster's length, and its place in the JPEG (after SOI).
constexpr char kLengthComment[] = "kasumiro-movie-length-ms=";

struct ReaderPlace {
    FileReader* file;
    std::uint64_t position = 0;
};

int ReadPacket(void* opaque, std::uint8_t* buffer, int size)
{
    auto* place = static_cast<ReaderPlace*>(opaque);
    const std::uint64_t total = place->file->Size();
    if (place->position >= total || size <= 0)
        return AVERROR_EOF;
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(size),
                                                                               total - place->position));
    if (!place->file->ReadAt(place->position, buffer, count))
        return AVERROR(EIO);
    place->position += count;
    return static_cast<int>(count);
}

std::int64_t SeekTo(void* opaque, std::int64_t offset, int whence)
{
    auto* place = static_cast<ReaderPlace*>(opaque);
    const auto total = static_cast<std::int64_t>(place->file->Size());
    std::int64_t target = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return total;
    case SEEK_SET:
        target = offset;
        break;
    case SEEK_CUR:
        target = static_cast<std::int64_t>(place->position) + offset;
        break;
    case SEEK_END:
        target = total + offset;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (target < 0)
        return AVERROR(EINVAL);
    place->position = static_cast<std::uint64_t>(target);
    return target;
}

// Each FFmpeg object with its own way of being freed.
struct FormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct IoCloser {
    void operator()(AVIOContext* io) const
    {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};
struct CodecCloser {
    void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct PacketCloser {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameCloser {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct ScalerCloser {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};

// The Exif orientation for the rotation a video stream asks to be shown at: its display
// matrix, or (as older writers put it) its "rotate" tag. Mirrorings are not written by
// cameras and are left alone.
std::uint16_t OrientationOf(const AVStream& stream)
{
    double clockwise = 0.0;
    size_t size = 0;
    const std::uint8_t* matrix = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (matrix != nullptr && size >= 9 * sizeof(std::int32_t)) {
        // The matrix's angle is counter-clockwise; the turn that shows the frame is clockwise.
        std::int32_t values[9];
        std::memcpy(values, matrix, sizeof(values));
        const double angle = av_display_rotation_get(values);
        if (std::isnan(angle))
            return 1;
        clockwise = -angle;
    } else if (const AVDictionaryEntry* rotate = av_dict_get(stream.metadata, "rotate", nullptr, 0)) {
        clockwise = std::atof(rotate->value);
    }
    const long quarters = std::lround(clockwise / 90.0);
    switch (((quarters % 4) + 4) % 4) {
    case 1:
        return 6;
    case 2:
        return 3;
    case 3:
        return 8;
    default:
        return 1;
    }
}

std::int64_t LengthMsOf(const AVFormatContext& format, const AVStream& stream)
{
    if (format.duration > 0)
        return av_rescale(format.duration, 1000, AV_TIME_BASE);
    if (stream.duration > 0)
        return av_rescale_q(stream.duration, stream.time_base, AVRational{1, 1000});
    return 0;
}

// True when a picture of width x height may be decoded at all, by the album's limits.
bool WithinLimits(std::int64_t width, std::int64_t height, DecodedPixels* decoded)
{
    if (width <= 0 || height <= 0)
        return false;
    const auto pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    decoded->sourceWidth = static_cast<std::uint32_t>(std::min<std::int64_t>(width, UINT32_MAX));
    decoded->sourceHeight = static_cast<std::uint32_t>(std::min<std::int64_t>(height, UINT32_MAX));
    decoded->bytesNeeded = pixels * kDecodeBytesPerPixel;
    if (pixels > picture_limits::kMaxSourcePixels || decoded->bytesNeeded > picture_limits::kMaxDecodeBytes) {
        decoded->refusal = DecodeRefusal::kTooLarge;
        return false;
    }
    return true;
}

// The decoded frame as 24-bit pixels, blue first, in the colours its stream says it has.
bool ToBgr(const AVFrame& frame, BgrPicture* picture)
{
    if (!picture->Allocate(static_cast<std::uint32_t>(frame.width), static_cast<std::uint32_t>(frame.height)))
        return false;
    const std::unique_ptr<SwsContext, ScalerCloser> scaler(
        sws_getContext(frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), frame.width, frame.height,
                       AV_PIX_FMT_BGR24, SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
    if (!scaler)
        return false;
    // Motion JPEG's pixel formats carry their full range themselves; the rest say it.
    const bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
    const int space = frame.colorspace == AVCOL_SPC_UNSPECIFIED ? SWS_CS_DEFAULT : static_cast<int>(frame.colorspace);
    int* inverse = nullptr;
    int* table = nullptr;
    int sourceRange = 0, targetRange = 0, brightness = 0, contrast = 0, saturation = 0;
    if (sws_getColorspaceDetails(scaler.get(), &inverse, &sourceRange, &table, &targetRange, &brightness, &contrast,
                                 &saturation) >= 0) {
        const int* coefficients = sws_getCoefficients(space);
        sws_setColorspaceDetails(scaler.get(), coefficients, fullRange ? 1 : sourceRange, table, 1, brightness,
                                 contrast, saturation);
    }
    std::uint8_t* rows[4] = {picture->bgr.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {static_cast<int>(picture->stride), 0, 0, 0};
    return sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, rows, strides) == frame.height;
}

// The stream's frame at or just past `target` (in the stream's time base), reached from the
// keyframe before it; the last frame decoded when the movie ends (or the walk's bounds are
// reached) first. Null when no frame came out at all.
std::unique_ptr<AVFrame, FrameCloser> FrameAt(AVFormatContext& format, AVCodecContext& codec, int streamIndex,
                                              std::int64_t target)
{
    std::unique_ptr<AVFrame, FrameCloser> best(av_frame_alloc());
    const std::unique_ptr<AVFrame, FrameCloser> frame(av_frame_alloc());
    const std::unique_ptr<AVPacket, PacketCloser> packet(av_packet_alloc());
    if (!best || !frame || !packet)
        return nullptr;
    bool have = false;
    int framesLeft = picture_limits::kMaxPosterFramesDecoded;
    int refusedInARow = 0;
    // Takes every frame the decoder has ready; true once the frame sought is reached.
    auto takeFrames = [&]() {
        while (avcodec_receive_frame(&codec, frame.get()) == 0) {
            av_frame_unref(best.get());
            av_frame_move_ref(best.get(), frame.get());
            have = true;
            const std::int64_t at = best->best_effort_timestamp;
            if (--framesLeft <= 0 || at == AV_NOPTS_VALUE || at >= target)
                return true;
        }
        return false;
    };
    for (int packets = 0; packets < picture_limits::kMaxPosterPacketsRead; ++packets) {
        if (av_read_frame(&format, packet.get()) < 0)
            break;
        if (packet->stream_index != streamIndex) {
            av_packet_unref(packet.get());
            continue;
        }
        const int sent = avcodec_send_packet(&codec, packet.get());
        av_packet_unref(packet.get());
        if (sent < 0 && sent != AVERROR(EAGAIN)) {
            if (++refusedInARow >= picture_limits::kMaxPosterPacketsRefused)
                break;
            continue;
        }
        refusedInARow = 0;
        if (takeFrames())
            return best;
    }
    // The end of what could be read: the decoder gives up the frames it still holds.
    avcodec_send_packet(&codec, nullptr);
    takeFrames();
    return have ? std::move(best) : nullptr;
}

}  // namespace

bool DecodeMoviePosterFrame(FileReader& file, MovieFrame* movie)
{
    // What FFmpeg would say of a damaged file goes nowhere: the album's log says what matters.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    *movie = MovieFrame{};
    DecodedPixels& decoded = movie->decoded;
    decoded.refusal = DecodeRefusal::kUnreadable;
    ReaderPlace place{&file};
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kReadBufferBytes));
    if (buffer == nullptr)
        return false;
    std::unique_ptr<AVIOContext, IoCloser> io(
        avio_alloc_context(buffer, kReadBufferBytes, 0, &place, ReadPacket, nullptr, SeekTo));
    if (!io) {
        av_free(buffer);
        return false;
    }
    AVFormatContext* opened = avformat_alloc_context();
    if (opened == nullptr)
        return false;
    opened->pb = io.get();
    opened->flags |= AVFMT_FLAG_CUSTOM_IO;
    // What is probed for the streams' facts stays small: a stream whose facts are not in the
    // container's header is looked at for its first few hundred kilobytes, not seconds of it.
    opened->probesize = 1 << 20;
    opened->max_analyze_duration = AV_TIME_BASE / 2;
    if (avformat_open_input(&opened, nullptr, nullptr, nullptr) < 0)
        return false;  // avformat_open_input frees the context on failure
    const std::unique_ptr<AVFormatContext, FormatCloser> format(opened);

    const AVCodec* decoder = nullptr;
    int streamIndex = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    // MPEG-TS and the like name their streams' sizes only in the stream itself.
    if (streamIndex < 0 || format->streams[streamIndex]->codecpar->width <= 0) {
        if (avformat_find_stream_info(format.get(), nullptr) < 0)
            return false;
        streamIndex = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    }
    if (streamIndex < 0 || decoder == nullptr)
        return false;
    AVStream& stream = *format->streams[streamIndex];
    if (!WithinLimits(stream.codecpar->width, stream.codecpar->height, &decoded))
        return false;
    movie->orientation = OrientationOf(stream);
    movie->lengthMs = LengthMsOf(*format, stream);

    const std::unique_ptr<AVCodecContext, CodecCloser> codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), stream.codecpar) < 0)
        return false;
    // One thread a decode: the album's workers decode several movies at once already.
    codec->thread_count = 1;
    codec->max_pixels = static_cast<std::int64_t>(picture_limits::kMaxDecodeBytes / kDecodeBytesPerPixel);
    // On the way from a keyframe to the poster's moment, frames no other frame refers to are
    // not decoded: the poster is the first frame past that moment that the rest refer to.
    codec->skip_frame = AVDISCARD_NONREF;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return false;

    // A second in, from the keyframe before it; a clip no longer than that shows its start.
    std::int64_t target = 0;
    const std::int64_t step = stream.time_base.num > 0 && stream.time_base.den > 0
                                  ? av_rescale_q(kPosterAtMs, AVRational{1, 1000}, stream.time_base)
                                  : 0;
    if (movie->lengthMs > kPosterAtMs && step > 0) {
        // A start the file claims near the end of the time line is taken as the beginning.
        const std::int64_t start =
            stream.start_time == AV_NOPTS_VALUE || stream.start_time > INT64_MAX - step || stream.start_time < 0
                ? 0
                : stream.start_time;
        target = start + step;
        if (av_seek_frame(format.get(), streamIndex, target, AVSEEK_FLAG_BACKWARD) < 0)
            av_seek_frame(format.get(), streamIndex, start, AVSEEK_FLAG_BACKWARD);
    } else {
        target = AV_NOPTS_VALUE + 1;  // the first frame that comes out
    }
    const WholeDecodeTurn turn;
    const auto frame = FrameAt(*format, *codec, streamIndex, target);
    if (!frame || !WithinLimits(frame->width, frame->height, &decoded))
        return false;
    if (!ToBgr(*frame, &decoded.pixels)) {
        decoded.pixels = BgrPicture{};
        return false;
    }
    decoded.refusal = DecodeRefusal::kNone;
    return true;
}

void AddMovieLength(std::vector<std::uint8_t>* jpeg, std::int64_t lengthMs)
{
    if (jpeg->size() < 2 || (*jpeg)[0] != 0xFF || (*jpeg)[1] != 0xD8)
        return;
    const std::string text = kLengthComment + std::to_string(std::max<std::int64_t>(lengthMs, 0));
    const std::size_t length = text.size() + 2;
    // Written whole into a string first: GCC 12 misreads range inserts into small vectors as
    // out of bounds.
    std::string segment = "\xFF\xFE";
    segment += static_cast<char>(length >> 8);
    segment += static_cast<char>(length & 0xFF);
    segment += text;
    jpeg->insert(jpeg->begin() + 2, segment.begin(), segment.end());
}

std::int64_t MovieLengthOf(const std::vector<std::uint8_t>& jpeg)
{
    // Only where AddMovieLength puts it: right after the start of the picture.
    constexpr std::size_t kTextAt = 6;
    const std::size_t prefix = sizeof(kLengthComment) - 1;
    if (jpeg.size() < kTextAt + prefix || jpeg[0] != 0xFF || jpeg[1] != 0xD8 || jpeg[2] != 0xFF || jpeg[3] != 0xFE)
        return -1;
    const std::size_t length = (static_cast<std::size_t>(jpeg[4]) << 8) | jpeg[5];
    if (length < prefix + 3 || length > 64 || 4 + length > jpeg.size() ||
        std::memcmp(jpeg.data() + kTextAt, kLengthComment, prefix) != 0)
        return -1;
    std::int64_t value = 0;
    for (std::size_t i = kTextAt + prefix; i < 4 + length; ++i) {
        const int digit = jpeg[i] - '0';
        if (digit < 0 || digit > 9 || value > (INT64_MAX - digit) / 10)
            return -1;
        value = value * 10 + digit;
    }
    return value;
}
