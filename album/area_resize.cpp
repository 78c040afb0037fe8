#include "album/area_resize.h"

#include <algorithm>

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
    // Across first, into rows of the source's height, then down.
    std::vector<float> across(std::size_t{toWidth} * height * 3);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = bgr + std::size_t{y} * stride;
        float* out = across.data() + std::size_t{y} * toWidth * 3;
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
    }
    result.width = toWidth;
    result.height = toHeight;
    result.stride = (toWidth * 3 + 3) & ~3u;
    result.bgr.assign(std::size_t{result.stride} * toHeight, 0);
    for (std::uint32_t y = 0; y < toHeight; ++y) {
        const Span& span = rows[y];
        std::uint8_t* out = result.bgr.data() + std::size_t{y} * result.stride;
        for (std::uint32_t x = 0; x < toWidth * 3; ++x) {
            float sum = 0;
            for (std::size_t k = 0; k < span.weights.size(); ++k)
                sum += static_cast<float>(span.weights[k]) * across[(std::size_t{span.first} + k) * toWidth * 3 + x];
            out[x] = static_cast<std::uint8_t>(std::clamp(sum + 0.5f, 0.0f, 255.0f));
        }
    }
    return result;
}
