#include "metadata/jpeg_eighth_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int kLookupBits = 9;

// The file's bytes, read through one cursor that never passes their end.
class Cursor {
public:
    Cursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Has(std::size_t count) const { return count <= size_ - position_; }
    std::uint8_t Byte() { return Has(1) ? data_[position_++] : Fail(); }
    std::uint16_t Word()
    {
        const std::uint16_t high = Byte();
        return static_cast<std::uint16_t>((high << 8) | Byte());
    }
    void Skip(std::size_t count) { Has(count) ? void(position_ += count) : void(Fail()); }
    std::size_t Position() const { return position_; }
    void MoveTo(std::size_t position) { position <= size_ ? void(position_ = position) : void(Fail()); }
    bool Failed() const { return failed_; }
    const std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    std::uint8_t Fail()
    {
        failed_ = true;
        position_ = size_;
        return 0;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

// A Huffman table: a lookup of the first kLookupBits bits, and the canonical code limits for
// longer codes.
struct HuffmanTable {
    bool defined = false;
    // Index by the next kLookupBits bits: (code length << 8) | symbol; 0 for a longer code.
    std::array<std::uint16_t, 1 << kLookupBits> lookup{};
    std::array<std::int32_t, 18> maxCode{};  // the largest code of each length, -1 for none
    std::array<std::int32_t, 17> valueOffset{};
    std::array<std::uint8_t, 256> symbols{};
};

bool BuildTable(const std::uint8_t counts[16], const std::uint8_t* symbols, int total, HuffmanTable* table)
{
    *table = HuffmanTable{};
    std::copy(symbols, symbols + total, table->symbols.begin());
    std::int32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length) {
        const int count = counts[length - 1];
        table->valueOffset[length] = index - code;
        if (count > 0) {
            for (int i = 0; i < count; ++i, ++index, ++code) {
                // A code that no longer fits its length is not a prefix code.
                if (code >= (1 << length))
                    return false;
                if (length <= kLookupBits) {
                    const int shift = kLookupBits - length;
                    const int first = code << shift;
                    for (int fill = 0; fill < (1 << shift); ++fill)
                        table->lookup[static_cast<std::size_t>(first + fill)] =
                            static_cast<std::uint16_t>((length << 8) | symbols[index]);
                }
            }
            table->maxCode[length] = code - 1;
        } else {
            table->maxCode[length] = -1;
        }
        code <<= 1;
    }
    table->maxCode[17] = 0x7FFFFFFF;
    table->defined = true;
    return true;
}

// The entropy-coded bits of a scan: stuffed zero bytes taken out, a marker ends the data and
// is left for the caller, and a scan that runs short is padded with a few zero bytes only.
class BitReader {
public:
    explicit BitReader(Cursor& cursor) : cursor_(cursor) {}

    std::uint32_t Peek(int count)
    {
        if (available_ < count)
            Fill();
        return static_cast<std::uint32_t>(bits_ >> (64 - count));
    }
    void Drop(int count)
    {
        bits_ <<= count;
        available_ -= count;
    }
    std::uint32_t Get(int count)
    {
        if (count == 0)
            return 0;
        const std::uint32_t value = Peek(count);
        Drop(count);
        return value;
    }
    // A value of `count` bits as the format extends it to a signed difference.
    std::int32_t Extended(int count)
    {
        if (count == 0)
            return 0;
        const auto value = static_cast<std::int32_t>(Get(count));
        return value < (1 << (count - 1)) ? value - (1 << count) + 1 : value;
    }
    // The next symbol of the table; -1 for a code the table does not hold.
    int Decode(const HuffmanTable& table)
    {
        const std::uint32_t ahead = Peek(16);
        const std::uint16_t entry = table.lookup[ahead >> (16 - kLookupBits)];
        if (entry != 0) {
            Drop(entry >> 8);
            return entry & 0xFF;
        }
        for (int length = kLookupBits + 1; length <= 16; ++length) {
            const auto code = static_cast<std::int32_t>(ahead >> (16 - length));
            if (code <= table.maxCode[static_cast<std::size_t>(length)]) {
                Drop(length);
                const int index = table.valueOffset[static_cast<std::size_t>(length)] + code;
                return index >= 0 && index < 256 ? table.symbols[static_cast<std::size_t>(index)] : -1;
            }
        }
        return -1;
    }
    // At a restart marker: the bits left of the byte are dropped and the marker is passed.
    bool Restart()
    {
        bits_ = 0;
        available_ = 0;
        atMarker_ = false;
        padding_ = 0;  // each interval may end in a little padding of its own
        // Fill bytes may stand before the marker.
        while (cursor_.Has(1) && cursor_.Data()[cursor_.Position()] == 0xFF && cursor_.Has(2) &&
               cursor_.Data()[cursor_.Position() + 1] == 0xFF)
            cursor_.Skip(1);
        if (!cursor_.Has(2))
            return false;
        const std::uint8_t first = cursor_.Byte(), second = cursor_.Byte();
        return first == 0xFF && second >= 0xD0 && second <= 0xD7;
    }
    bool Overrun() const { return padding_ > jpeg_eighth_limits::kMaxPaddingBytes; }

private:
    void Fill()
    {
        while (available_ <= 56) {
            std::uint8_t byte = 0;
            if (atMarker_ || !cursor_.Has(1)) {
                ++padding_;
            } else {
                const std::size_t at = cursor_.Position();
                byte = cursor_.Data()[at];
                if (byte == 0xFF) {
                    const std::uint8_t next = cursor_.Has(2) ? cursor_.Data()[at + 1] : 0xD9;
                    if (next == 0x00) {
                        cursor_.Skip(2);
                    } else {
                        // A marker: the data ends before it; it stays for the caller.
                        atMarker_ = true;
                        byte = 0;
                        ++padding_;
                    }
                } else {
                    cursor_.Skip(1);
                }
            }
            bits_ |= std::uint64_t{byte} << (56 - available_);
            available_ += 8;
        }
    }

    Cursor& cursor_;
    std::uint64_t bits_ = 0;
    int available_ = 0;
    bool atMarker_ = false;
    int padding_ = 0;
};

struct Component {
    int id = 0;
    int h = 1, v = 1;
    int quantTable = 0;
    int dcTable = 0, acTable = 0;
    bool inScan = false;
    std::int32_t prediction = 0;
    std::vector<std::uint8_t> means;  // one per block, row by row over the padded MCU grid
    std::uint32_t blocksWide = 0;
};

std::uint8_t Clamp(std::int32_t value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

class EighthDecoder {
public:
    EighthDecoder(const std::uint8_t* data, std::size_t size) : cursor_(data, size) {}

    bool Decode(EighthImage* image)
    {
        if (cursor_.Byte() != 0xFF || cursor_.Byte() != 0xD8)
            return false;
        for (;;) {
            // Markers, with any number of fill bytes before them.
            if (cursor_.Byte() != 0xFF)
                return false;
            std::uint8_t marker = cursor_.Byte();
            while (marker == 0xFF && !cursor_.Failed())
                marker = cursor_.Byte();
            if (cursor_.Failed() || marker == 0xD9)
                return false;  // the image ended before its scan
            if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
                continue;
            const std::uint16_t length = cursor_.Word();
            if (cursor_.Failed() || length < 2 || !cursor_.Has(length - 2u))
                return false;
            const std::size_t end = cursor_.Position() + length - 2u;
            bool ok = true;
            switch (marker) {
            case 0xC0:  // baseline
            case 0xC1:  // extended sequential, Huffman
                ok = ReadFrame();
                break;
            case 0xC4:
                ok = ReadHuffmanTables(end);
                break;
            case 0xDB:
                ok = ReadQuantTables(end);
                break;
            case 0xDD:
                restartInterval_ = cursor_.Word();
                break;
            case 0xEE:
                ok = ReadAdobe(length - 2u);
                break;
            case 0xDA:
                return ReadScan() && DecodeScan() && Finish(image);
            default:
                // Any other frame type (progressive, lossless, arithmetic, hierarchical) is
                // the full decoder's; other segments carry nothing we need.
                if ((marker >= 0xC2 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) ||
                    marker == 0xDC || marker == 0xDE)
                    return false;
                break;
            }
            if (!ok || cursor_.Failed() || cursor_.Position() > end)
                return false;
            cursor_.MoveTo(end);
        }
    }

private:
    bool ReadFrame()
    {
        if (frameRead_)
            return false;
        frameRead_ = true;
        const std::uint8_t precision = cursor_.Byte();
        height_ = cursor_.Word();
        width_ = cursor_.Word();
        const int count = cursor_.Byte();
        if (precision != 8 || width_ == 0 || height_ == 0 || (count != 1 && count != 3))
            return false;
        const std::uint64_t pixels = std::uint64_t{(width_ + 7u) / 8u} * ((height_ + 7u) / 8u);
        if (pixels > jpeg_eighth_limits::kMaxPixels)
            return false;
        components_.resize(static_cast<std::size_t>(count));
        for (Component& component : components_) {
            component.id = cursor_.Byte();
            const std::uint8_t sampling = cursor_.Byte();
            component.h = sampling >> 4;
            component.v = sampling & 15;
            component.quantTable = cursor_.Byte();
            if (component.quantTable > 3)
                return false;
        }
        // The luma may be sampled 1 or 2 each way; chroma only once per MCU.
        Component& luma = components_[0];
        if (luma.h < 1 || luma.h > 2 || luma.v < 1 || luma.v > 2)
            return false;
        if (count == 1) {
            luma.h = luma.v = 1;  // a single component is read block by block, whatever it says
        } else {
            for (std::size_t i = 1; i < components_.size(); ++i) {
                if (components_[i].h != 1 || components_[i].v != 1)
                    return false;
            }
            // Components named R, G and B hold no luma and chroma.
            if (components_[0].id == 'R' && components_[1].id == 'G' && components_[2].id == 'B')
                return false;
        }
        return !cursor_.Failed();
    }

    bool ReadHuffmanTables(std::size_t end)
    {
        while (cursor_.Position() < end) {
            const std::uint8_t kind = cursor_.Byte();
            const int tableClass = kind >> 4, index = kind & 15;
            if (tableClass > 1 || index > 3)
                return false;
            std::uint8_t counts[16];
            int total = 0;
            for (std::uint8_t& count : counts) {
                count = cursor_.Byte();
                total += count;
            }
            if (total > 256 || !cursor_.Has(static_cast<std::size_t>(total)))
                return false;
            const std::uint8_t* symbols = cursor_.Data() + cursor_.Position();
            cursor_.Skip(static_cast<std::size_t>(total));
            HuffmanTable& table = tableClass == 0 ? dcTables_[static_cast<std::size_t>(index)]
                                                  : acTables_[static_cast<std::size_t>(index)];
            if (cursor_.Failed() || !BuildTable(counts, symbols, total, &table))
                return false;
        }
        return cursor_.Position() == end;
    }

    bool ReadQuantTables(std::size_t end)
    {
        while (cursor_.Position() < end) {
            const std::uint8_t kind = cursor_.Byte();
            const int precision = kind >> 4, index = kind & 15;
            if (precision > 1 || index > 3)
                return false;
            // Only the first value, the DC step, is needed.
            quantDc_[static_cast<std::size_t>(index)] = precision == 0 ? cursor_.Byte() : cursor_.Word();
            cursor_.Skip(precision == 0 ? 63 : 126);
            quantDefined_[static_cast<std::size_t>(index)] = true;
            if (cursor_.Failed())
                return false;
        }
        return cursor_.Position() == end;
    }

    // An Adobe segment that says its three components are not YCbCr.
    bool ReadAdobe(std::size_t length)
    {
        if (length < 12 || !cursor_.Has(12) || std::memcmp(cursor_.Data() + cursor_.Position(), "Adobe", 5) != 0)
            return true;
        adobeTransform_ = cursor_.Data()[cursor_.Position() + 11];
        return true;
    }

    bool ReadScan()
    {
        if (!frameRead_ || (components_.size() == 3 && adobeTransform_ == 0))
            return false;
        const int count = cursor_.Byte();
        // One scan with every component: what a sequential camera file has.
        if (count != static_cast<int>(components_.size()))
            return false;
        for (int i = 0; i < count; ++i) {
            const int id = cursor_.Byte();
            const std::uint8_t tables = cursor_.Byte();
            Component& component = components_[static_cast<std::size_t>(i)];
            if (component.id != id || component.inScan)
                return false;
            component.inScan = true;
            component.dcTable = tables >> 4;
            component.acTable = tables & 15;
            if (component.dcTable > 3 || component.acTable > 3 ||
                !dcTables_[static_cast<std::size_t>(component.dcTable)].defined ||
                !acTables_[static_cast<std::size_t>(component.acTable)].defined ||
                !quantDefined_[static_cast<std::size_t>(component.quantTable)])
                return false;
        }
        const std::uint8_t spectralStart = cursor_.Byte(), spectralEnd = cursor_.Byte(), approximation = cursor_.Byte();
        return !cursor_.Failed() && spectralStart == 0 && spectralEnd == 63 && approximation == 0;
    }

    // One block: its DC difference kept, its AC coefficients read past.
    bool DecodeBlock(BitReader& bits, Component& component, std::uint8_t* mean)
    {
        const int category = bits.Decode(dcTables_[static_cast<std::size_t>(component.dcTable)]);
        if (category < 0 || category > 11)
            return false;
        component.prediction += bits.Extended(category);
        const HuffmanTable& ac = acTables_[static_cast<std::size_t>(component.acTable)];
        for (int k = 1; k < 64;) {
            const int symbol = bits.Decode(ac);
            if (symbol < 0)
                return false;
            const int run = symbol >> 4, size = symbol & 15;
            if (size == 0) {
                if (run != 15)
                    break;  // end of block
                k += 16;
                continue;
            }
            k += run + 1;
            bits.Get(size);
        }
        // The block's mean: the dequantised DC coefficient over 8, shifted back to 0..255.
        const std::int32_t dc = component.prediction * static_cast<std::int32_t>(quantDc_[static_cast<std::size_t>(component.quantTable)]);
        *mean = Clamp(((dc + 4) >> 3) + 128);
        return !bits.Overrun();
    }

    bool DecodeScan()
    {
        const bool single = components_.size() == 1;
        const int hMax = components_[0].h, vMax = components_[0].v;
        const std::uint32_t mcusWide = single ? (width_ + 7u) / 8u : (width_ + 8u * hMax - 1u) / (8u * hMax);
        const std::uint32_t mcusHigh = single ? (height_ + 7u) / 8u : (height_ + 8u * vMax - 1u) / (8u * vMax);
        for (Component& component : components_) {
            component.blocksWide = mcusWide * static_cast<std::uint32_t>(component.h);
            component.means.assign(std::size_t{component.blocksWide} * mcusHigh * static_cast<std::uint32_t>(component.v), 0);
        }
        BitReader bits(cursor_);
        const std::uint64_t mcus = std::uint64_t{mcusWide} * mcusHigh;
        for (std::uint64_t n = 0; n < mcus; ++n) {
            if (restartInterval_ != 0 && n != 0 && n % restartInterval_ == 0) {
                if (!bits.Restart())
                    return false;
                for (Component& component : components_)
                    component.prediction = 0;
            }
            const auto mx = static_cast<std::uint32_t>(n % mcusWide), my = static_cast<std::uint32_t>(n / mcusWide);
            for (Component& component : components_) {
                for (int y = 0; y < component.v; ++y) {
                    for (int x = 0; x < component.h; ++x) {
                        const std::size_t row = std::size_t{my} * static_cast<std::uint32_t>(component.v) + static_cast<std::uint32_t>(y);
                        const std::size_t column = std::size_t{mx} * static_cast<std::uint32_t>(component.h) + static_cast<std::uint32_t>(x);
                        if (!DecodeBlock(bits, component, &component.means[row * component.blocksWide + column]))
                            return false;
                    }
                }
            }
        }
        return true;
    }

    bool Finish(EighthImage* image)
    {
        image->sourceWidth = width_;
        image->sourceHeight = height_;
        image->width = (width_ + 7u) / 8u;
        image->height = (height_ + 7u) / 8u;
        image->stride = (image->width * 3u + 3u) & ~3u;
        image->bgr.assign(std::size_t{image->stride} * image->height, 0);
        const Component& luma = components_[0];
        for (std::uint32_t y = 0; y < image->height; ++y) {
            std::uint8_t* out = image->bgr.data() + std::size_t{y} * image->stride;
            const std::uint8_t* lumaRow = luma.means.data() + std::size_t{y} * luma.blocksWide;
            if (components_.size() == 1) {
                for (std::uint32_t x = 0; x < image->width; ++x, out += 3)
                    out[0] = out[1] = out[2] = lumaRow[x];
                continue;
            }
            const std::size_t chromaRow = std::size_t{y / static_cast<std::uint32_t>(luma.v)} * components_[1].blocksWide;
            const std::uint8_t* cbRow = components_[1].means.data() + chromaRow;
            const std::uint8_t* crRow = components_[2].means.data() + chromaRow;
            for (std::uint32_t x = 0; x < image->width; ++x, out += 3) {
                const std::uint32_t cx = x / static_cast<std::uint32_t>(luma.h);
                // YCbCr as JFIF defines it, in fixed point with 16 fraction bits.
                const std::int32_t yy = std::int32_t{lumaRow[x]} << 16;
                const std::int32_t cb = cbRow[cx] - 128, cr = crRow[cx] - 128;
                out[2] = Clamp((yy + 91881 * cr + 32768) >> 16);
                out[1] = Clamp((yy - 22554 * cb - 46802 * cr + 32768) >> 16);
                out[0] = Clamp((yy + 116130 * cb + 32768) >> 16);
            }
        }
        return true;
    }

    Cursor cursor_;
    bool frameRead_ = false;
    std::uint32_t width_ = 0, height_ = 0;
    std::vector<Component> components_;
    std::array<HuffmanTable, 4> dcTables_{}, acTables_{};
    std::array<std::uint16_t, 4> quantDc_{};
    std::array<bool, 4> quantDefined_{};
    std::uint32_t restartInterval_ = 0;
    int adobeTransform_ = -1;
};

}  // namespace

bool DecodeJpegEighth(const std::uint8_t* data, std::size_t size, EighthImage* image)
{
    *image = EighthImage{};
    EighthDecoder decoder(data, size);
    if (decoder.Decode(image))
        return true;
    *image = EighthImage{};
    return false;
}
