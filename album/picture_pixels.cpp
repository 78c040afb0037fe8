#include "album/picture_pixels.h"

#include <algorithm>
#include <new>

namespace {

// For one axis: the source pixels each result pixel covers, from the first on, each weighed
// by the part of it covered over the result pixel's width (the weights sum to 1).
struct Span {
    std::uint32_t first = 0;
    std::vector<double> weights;
};

std::vector<Span> Spans(std::uint32_t from, std::uint32_t to)
{
    std::vector<Span> spans(to);
    const double scale = static_cast<double>(from) / to;
    for (std::uint32_t i = 0; i < to; ++i) {
        const double begin = i * scale, end = (i + 1) * scale;
        Span& span = spans[i];
        span.first = static_cast<std::uint32_t>(begin);
        for (std::uint32_t s = span.first; s < from && s < end; ++s) {
            const double covered = std::min<double>(end, s + 1) - std::max<double>(begin, s);
            span.weights.push_back(covered / scale);
        }
    }
    return spans;
}

}  // namespace

BgrPicture ShrinkByAreas(const std::uint8_t* bgr, std::uint32_t width, std::uint32_t height, std::uint32_t stride,
                         std::uint32_t toWidth, std::uint32_t toHeight)
{
    BgrPicture result;
    if (toWidth == 0 || toHeight == 0 || toWidth > width || toHeight > height || stride < 3 * width)
        return result;
    const std::vector<Span> columns = Spans(width, toWidth), rows = Spans(height, toHeight);
    // Across first, a source row at a time, then down. Only the source rows the result row
    // being made covers are held shrunk across (a window that moves down with it): never a
    // copy of the source's height, which for a large picture would weigh more than it.
    const std::size_t rowFloats = std::size_t{toWidth} * 3;
    std::size_t windowHeight = 0;
    for (const Span& span : rows)
        windowHeight = std::max(windowHeight, span.weights.size());
    std::vector<float> window(windowHeight * rowFloats);
    std::uint32_t windowFirst = 0, windowRows = 0;  // the source rows the window holds
    const auto shrinkAcross = [&](std::uint32_t y, float* out) {
        const std::uint8_t* row = bgr + std::size_t{y} * stride;
        for (std::uint32_t x = 0; x < toWidth; ++x) {
            float sum[3] = {};
            const Span& span = columns[x];
            for (std::size_t k = 0; k < span.weights.size(); ++k) {
                const std::uint8_t* pixel = row + 3 * (span.first + k);
                for (int c = 0; c < 3; ++c)
                    sum[c] += static_cast<float>(span.weights[k]) * pixel[c];
            }
            std::copy(sum, sum + 3, out + 3 * x);
        }
    };
    result.width = toWidth;
    result.height = toHeight;
    result.stride = (toWidth * 3 + 3) & ~3u;
    result.bgr.assign(std::size_t{result.stride} * toHeight, 0);
    for (std::uint32_t y = 0; y < toHeight; ++y) {
        const Span& span = rows[y];
        // Spans go down the picture and meet: the rows above this one's are done with.
        const std::uint32_t done = std::min(span.first - windowFirst, windowRows);
        std::copy(window.begin() + static_cast<std::ptrdiff_t>(done * rowFloats),
                  window.begin() + static_cast<std::ptrdiff_t>(windowRows * rowFloats), window.begin());
        windowRows -= done;
        windowFirst = span.first;
        for (; windowRows < span.weights.size(); ++windowRows)
            shrinkAcross(windowFirst + windowRows, window.data() + windowRows * rowFloats);
        std::uint8_t* out = result.bgr.data() + std::size_t{y} * result.stride;
        for (std::size_t x = 0; x < rowFloats; ++x) {
            float sum = 0;
            for (std::size_t k = 0; k < span.weights.size(); ++k)
                sum += static_cast<float>(span.weights[k]) * window[k * rowFloats + x];
            out[x] = static_cast<std::uint8_t>(std::clamp(sum + 0.5f, 0.0f, 255.0f));
        }
    }
    return result;
}

bool BgrPicture::Allocate(std::uint32_t pictureWidth, std::uint32_t pictureHeight)
{
    bgr.clear();
    width = height = stride = 0;
    if (pictureWidth == 0 || pictureHeight == 0)
        return false;
    const std::uint64_t rowBytes = (std::uint64_t{pictureWidth} * 3 + 3) & ~std::uint64_t{3};
    try {
        bgr.assign(static_cast<std::size_t>(rowBytes * pictureHeight), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    width = pictureWidth;
    height = pictureHeight;
    stride = static_cast<std::uint32_t>(rowBytes);
    return true;
}

bool TurnsAQuarter(std::uint16_t orientation)
{
    return orientation >= 5 && orientation <= 8;
}

BgrPicture TurnUpright(const BgrPicture& picture, std::uint16_t orientation)
{
    if (orientation < 2 || orientation > 8 || picture.Empty())
        return picture;
    const std::uint32_t w = picture.width, h = picture.height;
    BgrPicture upright;
    if (!(TurnsAQuarter(orientation) ? upright.Allocate(h, w) : upright.Allocate(w, h)))
        return upright;
    // Where each stored pixel (x, y) goes in the upright picture, as the Exif orientation
    // describes the stored one: 2 mirrored, 3 turned half, 4 upside down (mirrored and turned
    // half), 5 mirrored along the diagonal, 6 turned a quarter left (shown turned right), 7
    // mirrored along the other diagonal, 8 turned a quarter right (shown turned left).
    for (std::uint32_t y = 0; y < h; ++y) {
        const std::uint8_t* from = picture.bgr.data() + std::size_t{y} * picture.stride;
        for (std::uint32_t x = 0; x < w; ++x, from += 3) {
            std::uint32_t ux = x, uy = y;
            switch (orientation) {
            case 2: ux = w - 1 - x; break;
            case 3: ux = w - 1 - x; uy = h - 1 - y; break;
            case 4: uy = h - 1 - y; break;
            case 5: ux = y; uy = x; break;
            case 6: ux = h - 1 - y; uy = x; break;
            case 7: ux = h - 1 - y; uy = w - 1 - x; break;
            case 8: ux = y; uy = w - 1 - x; break;
            default: break;
            }
            std::uint8_t* to = upright.bgr.data() + std::size_t{uy} * upright.stride + std::size_t{ux} * 3;
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
    return upright;
}

FittedSize FitIntoBox(std::int32_t w, std::int32_t h, std::int32_t boxWidth, std::int32_t boxHeight)
{
    FittedSize fitted;
    // Signed 32-bit, truncating: one side of the box is always filled.
    if (w < h) {
        fitted.height = boxHeight;
        fitted.width = w * boxHeight / h;
        if (boxWidth < fitted.width) {
            fitted.width = boxWidth;
            fitted.height = w ? h * boxWidth / w : 0;
        }
    } else {
        fitted.width = boxWidth;
        fitted.height = w ? h * boxWidth / w : 0;
        if (boxHeight < fitted.height) {
            fitted.height = boxHeight;
            fitted.width = h ? w * boxHeight / h : 0;
        }
    }
    return fitted;
}

FittedSize FittedStoredSize(std::int32_t w, std::int32_t h, std::uint16_t orientation, std::int32_t boxWidth,
                            std::int32_t boxHeight)
{
    if (!TurnsAQuarter(orientation))
        return FitIntoBox(w, h, boxWidth, boxHeight);
    // Made in the stored shape, so that the turn gives the upright one.
    const FittedSize upright = FitIntoBox(h, w, boxWidth, boxHeight);
    return FittedSize{upright.height, upright.width};
}

namespace {

// Bilinear: each result pixel from the four source pixels around the point it maps to.
BgrPicture Enlarge(const BgrPicture& picture, std::uint32_t width, std::uint32_t height)
{
    BgrPicture larger;
    if (!larger.Allocate(width, height))
        return larger;
    const double scaleX = static_cast<double>(picture.width) / width;
    const double scaleY = static_cast<double>(picture.height) / height;
    for (std::uint32_t y = 0; y < height; ++y) {
        const double sy = std::clamp((y + 0.5) * scaleY - 0.5, 0.0, picture.height - 1.0);
        const auto y0 = static_cast<std::uint32_t>(sy);
        const std::uint32_t y1 = std::min(y0 + 1, picture.height - 1);
        const double fy = sy - y0;
        std::uint8_t* to = larger.bgr.data() + std::size_t{y} * larger.stride;
        for (std::uint32_t x = 0; x < width; ++x, to += 3) {
            const double sx = std::clamp((x + 0.5) * scaleX - 0.5, 0.0, picture.width - 1.0);
            const auto x0 = static_cast<std::uint32_t>(sx);
            const std::uint32_t x1 = std::min(x0 + 1, picture.width - 1);
            const double fx = sx - x0;
            const std::uint8_t* a = picture.bgr.data() + std::size_t{y0} * picture.stride;
            const std::uint8_t* b = picture.bgr.data() + std::size_t{y1} * picture.stride;
            for (int c = 0; c < 3; ++c) {
                const double top = a[x0 * 3 + c] * (1 - fx) + a[x1 * 3 + c] * fx;
                const double bottom = b[x0 * 3 + c] * (1 - fx) + b[x1 * 3 + c] * fx;
                to[c] = static_cast<std::uint8_t>(top * (1 - fy) + bottom * fy + 0.5);
            }
        }
    }
    return larger;
}

}  // namespace

BgrPicture ResizeTo(const BgrPicture& picture, std::uint32_t width, std::uint32_t height)
{
    if (picture.Empty() || width == 0 || height == 0)
        return BgrPicture{};
    if (width == picture.width && height == picture.height)
        return picture;
    if (width <= picture.width && height <= picture.height)
        return ShrinkByAreas(picture.bgr.data(), picture.width, picture.height, picture.stride, width, height);
    return Enlarge(picture, width, height);
}
