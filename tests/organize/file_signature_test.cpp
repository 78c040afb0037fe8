#include "organize/file_signature.h"

#include <gtest/gtest.h>

#include <optional>

#include "base/read_counters.h"
#include "organize/content_matcher.h"

#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"

namespace {

class FileSignatureTest : public testing::Test {
protected:
    TempFolder folder_;
    std::wstring Make(const std::wstring& name, const Bytes& bytes)
    {
        const std::wstring path = folder_.File(name);
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }
};

TEST_F(FileSignatureTest, KnownValuesOfTheRecordedAlgorithm)
{
    EXPECT_EQ(ComputeFileSignature(Make(L"empty", {})), 0u);
    const std::uint64_t abc = ComputeFileSignature(Make(L"abc", {'a', 'b', 'c'}));
    EXPECT_EQ(abc, 0x2C716FB59FCF19F9ull);
    EXPECT_EQ(abc & 0x1FF, 505u);
    // 0xFF counts as -1.
    const std::uint64_t ff = ComputeFileSignature(Make(L"ff", {0xFF}));
    EXPECT_EQ(ff, 0x68EEB361A4A14556ull);
    EXPECT_EQ(ff & 0x1FF, 342u);
    EXPECT_EQ(ComputeFileSignature(folder_.File(L"missing")), 0xFFFFFFFFFFFFFFFFull);
}

TEST_F(FileSignatureTest, OnlySizeAndTheFirst256BytesCount)
{
    Bytes a(5000, 0x41), b(5000, 0x41);
    b[300] = 0x42;
    EXPECT_EQ(ComputeFileSignature(Make(L"a", a)), ComputeFileSignature(Make(L"b", b)));
    b[255] = 0x42;
    EXPECT_NE(ComputeFileSignature(Make(L"a", a)), ComputeFileSignature(Make(L"b2", b)));
    a.push_back(0x41);
    EXPECT_NE(ComputeFileSignature(Make(L"a2", a)), ComputeFileSignature(Make(L"b", Bytes(5000, 0x41))));
    // Japanese names are files like any other.
    EXPECT_EQ(ComputeFileSignature(Make(L"写真.jpg", {'a', 'b', 'c'})), 0x2C716FB59FCF19F9ull);
}

TEST_F(FileSignatureTest, ComparisonFindsDifferencesAnywhere)
{
    const std::size_t size = 5 << 20;  // past several growing chunks
    Bytes base(size);
    for (std::size_t i = 0; i < size; ++i)
        base[i] = static_cast<std::uint8_t>(i * 7 + (i >> 12));
    const std::wstring original = Make(L"original", base);
    EXPECT_FALSE(FilesDiffer(original, Make(L"copy", base)));

    Bytes at300 = base;
    at300[300] ^= 1;
    EXPECT_TRUE(FilesDiffer(original, Make(L"at300", at300)));
    Bytes atEnd = base;
    atEnd.back() ^= 0x80;
    EXPECT_TRUE(FilesDiffer(original, Make(L"atEnd", atEnd)));
    Bytes longer = base;
    longer.push_back(0);
    EXPECT_TRUE(FilesDiffer(original, Make(L"longer", longer)));

    EXPECT_FALSE(FilesDiffer(Make(L"e1", {}), Make(L"e2", {})));
    EXPECT_TRUE(FilesDiffer(original, folder_.File(L"missing")));
    EXPECT_TRUE(FilesDiffer(folder_.File(L"missing"), folder_.File(L"missing")));
}

TEST_F(FileSignatureTest, BuffersAreReusedAcrossComparisons)
{
    CompareBuffers buffers;
    const std::wstring a = Make(L"a", Bytes(200000, 9));
    const std::wstring b = Make(L"b", Bytes(200000, 9));
    EXPECT_FALSE(FilesDiffer(a, b, buffers));
    std::uint8_t* first = buffers.First();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(FilesDiffer(b, a, buffers));
    EXPECT_EQ(buffers.First(), first);
}

// Look-alikes (one size, one head) are hashed block by block, only as far as it takes to tell
// them apart, and each block of a file is read once however often it is weighed.
TEST_F(FileSignatureTest, LookAlikesAreHashedOnlyAsFarAsTheyDiffer)
{
    constexpr std::size_t kSize = 3 << 20;
    Bytes base(kSize, 's');
    Bytes early = base, late = base;
    early[100000] = 'e';  // in the second block, which ends at 128 KiB
    late[kSize - 1] = 'l';
    const std::wstring original = Make(L"original", base), differsEarly = Make(L"early", early),
                       differsLate = Make(L"late", late), twin = Make(L"twin", base);
    ContentMatcher matcher;
    CompareBuffers buffers;
    g_ReadCounters.Clear();
    EXPECT_EQ(matcher.HashesAgree(original, differsEarly, buffers, true), false);
    EXPECT_EQ(g_ReadCounters.bytes.load(), 2u * 128 * 1024);
    EXPECT_EQ(matcher.HashesAgree(original, differsLate, buffers, true), false);
    EXPECT_EQ(matcher.HashesAgree(twin, original, buffers, true), true);
    EXPECT_EQ(g_ReadCounters.bytes.load(), 3u * kSize + 128 * 1024);  // the original read once
    EXPECT_EQ(matcher.HashesAgree(original, folder_.File(L"missing"), buffers, true), std::nullopt);
}

}  // namespace
