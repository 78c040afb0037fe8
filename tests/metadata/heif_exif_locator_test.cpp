#include "metadata/heif_exif_locator.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "metadata/exif_info.h"
#include "tests/metadata/exif_block_builder.h"
#include "tests/metadata/heif_box_builder.h"
#include "tests/metadata/metadata_test_data.h"

namespace {

const Bytes kItem = AsHeifItem(ExifBlockBuilder(false).Ascii(ExifBlockBuilder::kExif, 0x9003,
                                                             "2021:07:04 12:00:00").Build());

Bytes Extract(const Bytes& file)
{
    HeifExifLocator reader;
    reader.SetBytes(file);
    return reader.ExtractExif();
}

TEST(HeifExtensionTest, KnowsTheFamilyInAnyCase)
{
    EXPECT_TRUE(IsHeifExtension(L"C:\\DCIM\\IMG_0001.HEIC"));
    EXPECT_TRUE(IsHeifExtension(L"D:\\a.Avif"));
    EXPECT_TRUE(IsHeifExtension(L".heif"));
    EXPECT_TRUE(IsHeifExtension(L"x.hevc"));
    EXPECT_FALSE(IsHeifExtension(L"C:\\photos.heic\\IMG_0001"));
    EXPECT_FALSE(IsHeifExtension(L"C:\\DCIM\\IMG_0001.jpg"));
    EXPECT_FALSE(IsHeifExtension(L"heic"));
    EXPECT_FALSE(IsHeifExtension(L""));
    EXPECT_FALSE(IsHeifExtension(L"a.heics"));
}

TEST(HeifExifReaderTest, FindsTheItemForEveryEntryAndLocationVersion)
{
    for (std::uint8_t infe : {2, 3}) {
        for (std::uint8_t iloc : {0, 1, 2}) {
            HeifLayout layout;
            layout.infeVersion = infe;
            layout.ilocVersion = iloc;
            EXPECT_EQ(Extract(MakeHeifFile(kItem, layout)), kItem)
                << "infe v" << int(infe) << ", iloc v" << int(iloc);
        }
    }
}

TEST(HeifExifReaderTest, FindsTheItemWhenLocationsComeFirst)
{
    HeifLayout layout;
    layout.ilocBeforeIinf = true;
    EXPECT_EQ(Extract(MakeHeifFile(kItem, layout)), kItem);
}

TEST(HeifExifReaderTest, BaseOffsetIsAddedAndOnlyTheFirstExtentCounts)
{
    HeifLayout layout;
    layout.baseOffset = 40;
    layout.extentCount = 3;
    EXPECT_EQ(Extract(MakeHeifFile(kItem, layout)), kItem);
}

TEST(HeifExifReaderTest, NoExifItemOrAnExtentPastTheEndGivesNothing)
{
    HeifLayout none;
    none.exifInfeEntry = false;
    EXPECT_TRUE(Extract(MakeHeifFile(kItem, none)).empty());
    HeifLayout past;
    past.extentSlack = 1;
    EXPECT_TRUE(Extract(MakeHeifFile(kItem, past)).empty());
    EXPECT_TRUE(Extract(Bytes{}).empty());
}

TEST(HeifExifReaderTest, BoxSizesZeroAndOne)
{
    // Size 1: a 64-bit size follows the type.
    HeifLayout large;
    large.leadingBox = BigEndian(1, 4);
    for (char c : std::string("free"))
        large.leadingBox.push_back(static_cast<std::uint8_t>(c));
    const Bytes size = BigEndian(16 + 8, 8);
    large.leadingBox.insert(large.leadingBox.end(), size.begin(), size.end());
    large.leadingBox.insert(large.leadingBox.end(), 8, 0);
    EXPECT_EQ(Extract(MakeHeifFile(kItem, large)), kItem);

    // Size 0: the box runs to the end of the file.
    HeifLayout open;
    open.openEndedMdat = true;
    EXPECT_EQ(Extract(MakeHeifFile(kItem, open)), kItem);

    // A 64-bit size larger than the file, or smaller than its own header, ends the walk.
    HeifLayout tooLarge = large;
    const Bytes huge = BigEndian(0xFFFFFFFFFFull, 8);
    std::copy(huge.begin(), huge.end(), tooLarge.leadingBox.begin() + 8);
    EXPECT_TRUE(Extract(MakeHeifFile(kItem, tooLarge)).empty());
    HeifLayout tooSmall = large;
    const Bytes tiny = BigEndian(12, 8);
    std::copy(tiny.begin(), tiny.end(), tooSmall.leadingBox.begin() + 8);
    EXPECT_TRUE(Extract(MakeHeifFile(kItem, tooSmall)).empty());
}

// Each box is read within its own bytes, and only the boxes that can hold item entries are
// entered: an entry elsewhere, or one that would need the next box's bytes, names nothing.
TEST(HeifExifReaderTest, ItemEntriesCountOnlyInsideTheirOwnBoxes)
{
    const auto exifEntry = [](std::uint8_t version, const Bytes& rest) {
        Bytes payload = BigEndian(2, 2);  // item 2, which the location box places
        payload.insert(payload.end(), rest.begin(), rest.end());
        return FullBox("infe", version, payload);
    };
    const Bytes exifType{'E', 'x', 'i', 'f'};

    HeifLayout elsewhere;
    elsewhere.exifInfeEntry = false;
    Bytes typed = BigEndian(0, 2);  // protection index
    typed.insert(typed.end(), exifType.begin(), exifType.end());
    elsewhere.leadingBox = Box("skip", exifEntry(2, typed));
    EXPECT_TRUE(Extract(MakeHeifFile(kItem, elsewhere)).empty());

    // An entry that ends after its protection index, and whose "type" would be the bytes of
    // whatever follows it.
    HeifLayout cut;
    cut.exifInfeEntry = false;
    cut.iinfTail = exifEntry(2, BigEndian(0, 2));
    cut.iinfTail.insert(cut.iinfTail.end(), exifType.begin(), exifType.end());
    cut.iinfTail.insert(cut.iinfTail.end(), 4, 0);
    EXPECT_TRUE(Extract(MakeHeifFile(kItem, cut)).empty());

    // Entries before version 2 carry no item type at all.
    HeifLayout old;
    old.exifInfeEntry = false;
    old.iinfTail = exifEntry(1, typed);
    EXPECT_TRUE(Extract(MakeHeifFile(kItem, old)).empty());
    // The same entry in version 2 is the Exif item.
    HeifLayout named;
    named.exifInfeEntry = false;
    named.iinfTail = exifEntry(2, typed);
    EXPECT_EQ(Extract(MakeHeifFile(kItem, named)), kItem);
}

TEST(HeifExifReaderTest, DeepNestingEndsInAPlainFailure)
{
    // 100,000 boxes, each the only child of the one before.
    constexpr std::size_t kDepth = 100000;
    Bytes nested(kDepth * 8 + 12, 0);
    for (std::size_t i = 0; i < kDepth; ++i) {
        const Bytes size = BigEndian(nested.size() - i * 8, 4);
        std::copy(size.begin(), size.end(), nested.begin() + i * 8);
        std::copy_n("moov", 4, nested.begin() + i * 8 + 4);
    }
    EXPECT_TRUE(Extract(nested).empty());
}

TEST(HeifExifReaderTest, LoadFileReadsWholeFilesOnly)
{
    HeifExifLocator reader;
    EXPECT_FALSE(reader.LoadFile(RealTestFile("heif/no-such-file.heic")));
    ScratchFile empty(Bytes{}, ".heic");
    EXPECT_FALSE(reader.LoadFile(empty.Path()));
    EXPECT_TRUE(reader.ExtractExif().empty());
    ScratchFile file(MakeHeifFile(kItem), ".heic");
    ASSERT_TRUE(reader.LoadFile(file.Path()));
    const Bytes item = reader.ExtractExif();
    EXPECT_EQ(item, kItem);
    EXPECT_EQ(reader.ExtractExif(), item);  // may be asked again

    ExifInfo info;
    ASSERT_TRUE(info.Load(item));
    EXPECT_EQ(info.GetDateTimeOriginalText(), "2021:07:04 12:00:00");
}

}  // namespace
