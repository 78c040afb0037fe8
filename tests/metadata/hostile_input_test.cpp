// Inputs built to break a parser: cut short at every byte, mutated at random, pointing
// anywhere. Each must end in a plain answer that the bytes it holds bear out: a cut never
// adds a value, a failed question passes nothing on, and what the strict reader takes whole
// the tolerant one reads the same. The native build runs these under AddressSanitizer too.

#include <gtest/gtest.h>

#include <ostream>
#include <random>

#include "metadata/tiff_directory_parser.h"
#include "metadata/exif_info.h"
#include "metadata/exif_limits.h"
#include "metadata/exif_parsing_exception.h"
#include "metadata/heif_exif_locator.h"
#include "metadata/jpeg_exif_locator.h"
#include "tests/metadata/exif_block_builder.h"
#include "tests/metadata/heif_box_builder.h"
#include "tests/metadata/metadata_test_data.h"

namespace {

// Every answer a block gives, asked of a reader that loaded it.
struct Answers {
    bool hasTime = false, hasGps = false, hasOrientation = false;
    std::int64_t time = 0;
    double latitude = 0, longitude = 0;
    std::uint16_t orientation = 0;
    std::string original, plain;  // the DateTimeOriginal and DateTime texts

    bool operator==(const Answers&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Answers& a)
{
    return out << "{time " << a.hasTime << ":" << a.time << ", gps " << a.hasGps << ":" << a.latitude << ","
               << a.longitude << ", orientation " << a.hasOrientation << ":" << a.orientation << ", \""
               << a.original << "\", \"" << a.plain << "\"}";
}

Answers AskEverything(const ExifInfo& info)
{
    Answers a;
    a.hasTime = info.GetCaptureTime(&a.time);
    a.hasGps = info.GetGpsPosition(&a.latitude, &a.longitude);
    a.hasOrientation = info.GetOrientation(&a.orientation);
    a.original = info.GetDateTimeOriginalText();
    a.plain = info.GetDateTimeText();
    return a;
}

// A failed question answers nothing: no half-read value is passed on.
void ExpectPlain(const Answers& a)
{
    if (!a.hasGps) {
        EXPECT_EQ(a.latitude, 0.0);
        EXPECT_EQ(a.longitude, 0.0);
    }
    if (a.hasTime) {
        EXPECT_FALSE(a.original.empty() && a.plain.empty()) << "a capture time from no date text";
    }
}

struct BothWays {
    Answers strict, tolerant;
    bool strictLoaded = false;
};

BothWays ParseBothWays(const Bytes& block)
{
    // An exact-size heap copy, so that a read one byte past the end is caught.
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[block.size() ? block.size() : 1]);
    std::copy(block.begin(), block.end(), copy.get());
    ExifInfo strict, tolerant;
    BothWays answers;
    answers.strictLoaded = strict.Load(copy.get(), block.size());
    tolerant.LoadTolerant(copy.get(), block.size());
    answers.strict = AskEverything(strict);
    answers.tolerant = AskEverything(tolerant);
    ExpectPlain(answers.strict);
    ExpectPlain(answers.tolerant);
    // What the strict reader takes whole, the tolerant one reads the same.
    if (answers.strictLoaded) {
        EXPECT_EQ(answers.strict, answers.tolerant);
    }
    return answers;
}

// What a part of a block says is what the whole block says, or nothing: a cut never makes up
// a value out of the bytes that are missing.
void ExpectNothingNew(const Answers& part, const Answers& whole, std::size_t length)
{
    if (part.hasTime) {
        EXPECT_EQ(part.time, whole.time) << "cut at " << length;
    }
    if (part.hasGps) {
        EXPECT_EQ(part.latitude, whole.latitude) << "cut at " << length;
        EXPECT_EQ(part.longitude, whole.longitude) << "cut at " << length;
    }
    if (part.hasOrientation) {
        EXPECT_EQ(part.orientation, whole.orientation) << "cut at " << length;
    }
    if (!part.original.empty()) {
        EXPECT_EQ(part.original, whole.original) << "cut at " << length;
    }
    if (!part.plain.empty()) {
        EXPECT_EQ(part.plain, whole.plain) << "cut at " << length;
    }
}

Bytes RealExifBlock(const std::string& relative)
{
    Bytes segment;
    std::unique_ptr<FileReader> file = FileReader::Open(RealTestFile(relative));
    if (file)
        LocateJpegExif(*file, &segment);
    return segment;
}

Bytes RealHeifItem(const std::string& relative)
{
    HeifExifLocator reader;
    reader.LoadFile(RealTestFile(relative));
    return reader.ExtractExif();
}

TEST(HostileInputTest, ExifBlocksCutShortAtEveryByte)
{
    for (const Bytes& block : {RealExifBlock("jpeg/mde_Apple_iPhone_5.jpg"),
                               RealExifBlock("jpeg/sigal_iptcTest_1.jpg"),
                               RealHeifItem("heif/mde_exif-at-eof.heic")}) {
        ASSERT_GT(block.size(), 100u);
        const BothWays whole = ParseBothWays(block);
        ASSERT_TRUE(whole.tolerant.hasTime) << "each of these blocks carries a date";
        const std::size_t step = block.size() > 4000 ? 7 : 1;
        for (std::size_t length = 0; length < block.size(); length += step) {
            const BothWays part = ParseBothWays(Bytes(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(length)));
            ExpectNothingNew(part.strict, whole.tolerant, length);
            ExpectNothingNew(part.tolerant, whole.tolerant, length);
        }
    }
}

TEST(HostileInputTest, ExifBlocksMutatedAtRandom)
{
    std::mt19937 random(20261208);
    const Bytes seeds[] = {RealExifBlock("jpeg/elodie_with-location.jpg"),
                           RealExifBlock("jpeg/goexif_infinite_loop_exif.jpg"),
                           RealHeifItem("heif/ianare_IMG_5195.HEIC")};
    for (const Bytes& seed : seeds) {
        ASSERT_FALSE(seed.empty());
        for (int round = 0; round < 600; ++round) {
            Bytes block = seed;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int f = 0; f < flips; ++f)
                block[random() % block.size()] = static_cast<std::uint8_t>(random());
            ParseBothWays(block);
        }
    }
}

TEST(HostileInputTest, EntriesThatPointAnywhere)
{
    using B = ExifBlockBuilder;
    for (std::uint32_t target : {0u, 1u, 7u, 8u, 0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        for (std::uint32_t count : {0u, 1u, 0x20000000u, 0xFFFFFFFFu}) {
            const Bytes block = B()
                                    .Raw(B::kExif, 0x9003, 2, count, target)   // ASCII
                                    .Raw(B::kGps, 2, 5, count, target)         // RATIONAL
                                    .Raw(B::kGps, 4, 10, count, target)        // SRATIONAL
                                    .Raw(B::kIfd0, 0x0112, 3, count, target)   // SHORT
                                    .Raw(B::kIfd0, 0x8825, 4, 1, 8)            // GPS at IFD0
                                    .Build();
            for (const Bytes& form : {block, WithExifMarker(block)}) {
                const BothWays answers = ParseBothWays(form);
                // The block holds no date; and rationals (never inline) that lie past its end
                // are no position.
                for (const Answers& a : {answers.strict, answers.tolerant}) {
                    EXPECT_FALSE(a.hasTime) << "target " << target << ", count " << count;
                    if (count > 0 && target >= form.size()) {
                        EXPECT_FALSE(a.hasGps) << "target " << target << ", count " << count;
                    }
                }
            }
        }
    }
    // Each sub-directory pointer aimed at IFD0 itself: read once each, no nesting.
    const Bytes selfReferencing = B().Raw(B::kIfd0, 0x8769, 4, 1, 8).Raw(B::kIfd0, 0xA005, 4, 1, 8).Build();
    ExifInfo info;
    EXPECT_TRUE(info.Load(selfReferencing));
}

Bytes Joined(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

// A reader of bytes in memory that counts the reads asked of it.
class CountingReader final : public FileReader {
public:
    explicit CountingReader(const Bytes& bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t count) override
    {
        ++reads;
        if (count >= 4096)
            ++largeReads;
        if (offset > bytes_.size() || count > bytes_.size() - offset)
            return false;
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), count, static_cast<std::uint8_t*>(out));
        return true;
    }
    int reads = 0;
    int largeReads = 0;

private:
    const Bytes& bytes_;
};

// Files that once took minutes each: the work a parse does is bounded by what is counted.
TEST(HostileInputTest, FilesThatWouldStallAParseCostABoundedAmount)
{
    // 65,535 Exif pointers in IFD0, all to one sub-directory of 65,535 entries (1.5 MB).
    const std::uint32_t count = 65535, subDirectory = 8 + 2 + count * 12 + 4;
    Bytes tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
    auto put = [&tiff](std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            tiff.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    put(count, 2);
    for (std::uint32_t i = 0; i < count; ++i) {
        put(0x8769, 2), put(4, 2), put(1, 4), put(subDirectory, 4);
    }
    put(0, 4);
    const std::uint32_t dateAt = subDirectory + 2 + count * 12;
    put(count, 2);
    put(0x9003, 2), put(2, 2), put(20, 4), put(dateAt, 4);
    for (std::uint32_t i = 1; i < count; ++i) {
        put(0xA420 + (i & 0xF), 2), put(3, 2), put(1, 4), put(i, 4);
    }
    for (const char c : std::string("2021:03:04 05:06:07"))
        tiff.push_back(static_cast<std::uint8_t>(c));
    tiff.push_back(0);
    for (const ExifParseMode mode : {ExifParseMode::kTolerant, ExifParseMode::kStrict}) {
        TiffDirectoryParser parse(tiff.data(), static_cast<std::uint32_t>(tiff.size()), mode);
        try {
            parse.Parse();
        } catch (const ExifParsingException&) {
            EXPECT_EQ(mode, ExifParseMode::kStrict);  // past the limit a strict parse fails
        }
        EXPECT_LE(parse.EntriesRead(), exif_limits::kMaxDirectoryEntriesPerParse + 1);
        if (mode == ExifParseMode::kTolerant) {
            EXPECT_EQ(parse.GetAsciiValue(0x8769, 0x9003), "2021:03:04 05:06:07");  // what was read stays
        }
    }

    // An "iloc" whose fields are all of size 0, naming 65,535 items of 65,535 extents each,
    // in one top-level "meta" box after another: the first is read, and only the first.
    Bytes items = BigEndian(count, 2);
    for (std::uint32_t i = 0; i < count; ++i) {
        const Bytes item = Joined({BigEndian(1000 + i, 2), BigEndian(0, 2), BigEndian(count, 2)});
        items.insert(items.end(), item.begin(), item.end());
    }
    const Bytes iloc = FullBox("iloc", 0, Joined({Bytes{0, 0}, items}));
    const Bytes infe = FullBox("infe", 2, Joined({BigEndian(2, 2), BigEndian(0, 2), Bytes{'E', 'x', 'i', 'f', 0}}));
    const Bytes meta = FullBox("meta", 0, Joined({FullBox("iinf", 0, Joined({BigEndian(1, 2), infe})), iloc}));
    Bytes file = Box("ftyp", Bytes{'h', 'e', 'i', 'c', 0, 0, 0, 0, 'm', 'i', 'f', '1'});
    for (int m = 0; m < 8; ++m)
        file.insert(file.end(), meta.begin(), meta.end());
    CountingReader reader(file);
    HeifExifLocator heif;
    ASSERT_TRUE(heif.LoadFrom(reader));
    EXPECT_TRUE(heif.ExtractExif().empty());
    EXPECT_EQ(reader.largeReads, 1);
    EXPECT_LE(reader.reads, 4);
}

TEST(HostileInputTest, HeifFilesCutShortAndMutated)
{
    const Bytes file = ReadWholeFile(RealTestFile("heif/elodie_photo.heic"));
    ASSERT_FALSE(file.empty());
    HeifExifLocator full;
    full.SetBytes(file);
    const BothWays whole = ParseBothWays(full.ExtractExif());
    ASSERT_TRUE(whole.strict.hasTime);
    for (std::size_t length = 0; length < file.size(); length += 13) {
        HeifExifLocator reader;
        reader.SetBytes(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length)));
        const BothWays part = ParseBothWays(reader.ExtractExif());
        ExpectNothingNew(part.strict, whole.strict, length);
    }
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        Bytes mutated = file;
        // Aim at the head, where the boxes that lead to the item lie.
        const std::size_t head = std::min<std::size_t>(mutated.size(), 1200);
        for (int f = 0; f < 4; ++f)
            mutated[random() % head] = static_cast<std::uint8_t>(random());
        HeifExifLocator reader;
        reader.SetBytes(std::move(mutated));
        ParseBothWays(reader.ExtractExif());
    }
}

TEST(HostileInputTest, JpegFilesCutShort)
{
    const Bytes file = ReadWholeFile(RealTestFile("jpeg/mde_HTC_Desire.jpg"));
    ASSERT_FALSE(file.empty());
    const BothWays whole = ParseBothWays(RealExifBlock("jpeg/mde_HTC_Desire.jpg"));
    ASSERT_TRUE(whole.tolerant.hasTime);
    const Bytes head(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(file.size(), 20000)));
    for (std::size_t length = 0; length < head.size(); length += 191) {
        ScratchFile cut(Bytes(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(length)), ".jpg");
        std::unique_ptr<FileReader> reader = FileReader::Open(cut.Path());
        ASSERT_TRUE(reader);
        Bytes segment;
        if (LocateJpegExif(*reader, &segment))
            ExpectNothingNew(ParseBothWays(segment).tolerant, whole.tolerant, length);
    }
}

}  // namespace
