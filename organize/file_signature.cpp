#include "organize/file_signature.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "base/handles.h"
#include "base/paths.h"
#include "base/read_counters.h"

#include <xxhash.h>

namespace {

constexpr DWORD kFirstChunk = 64 * 1024;

UniqueFile OpenForCompare(const std::wstring& path)
{
    UniqueFile file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ | READ_CONTROL,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file)
        g_ReadCounters.CountOpen();
    return file;
}

bool ReadExactly(HANDLE file, std::uint8_t* out, DWORD count)
{
    while (count > 0) {
        DWORD read = 0;
        if (!ReadFile(file, out, count, &read, nullptr) || read == 0)
            return false;
        g_ReadCounters.CountRead(read);
        out += read;
        count -= read;
    }
    return true;
}

}  // namespace

std::uint64_t ComputeFileSignature(const std::wstring& path)
{
    UniqueFile file = OpenForCompare(path);
    if (!file)
        return kUnreadableSignature;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return kUnreadableSignature;
    std::uint8_t head[kSignatureHeadBytes] = {};
    const DWORD count = static_cast<DWORD>(std::min<LONGLONG>(size.QuadPart, kSignatureHeadBytes));
    DWORD read = 0;
    if (count > 0 && !ReadFile(file.get(), head, count, &read, nullptr))
        return kUnreadableSignature;
    g_ReadCounters.CountRead(read);
    return ContentSignature(static_cast<std::uint64_t>(size.QuadPart), head, read);
}

std::uint64_t ContentSignature(std::uint64_t size, const std::uint8_t* head, std::size_t count)
{
    std::uint8_t block[512] = {};
    std::memcpy(block, head, std::min(count, kSignatureHeadBytes));
    std::uint64_t h = size;
    for (std::uint8_t byte : block) {
        const auto widened = static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int8_t>(byte)));
        h = h * 3 + widened;
    }
    return h;
}

bool CompareBuffers::Ensure()
{
    if (!first_)
        first_.reset(new (std::nothrow) std::uint8_t[kBytes]);
    if (!second_)
        second_.reset(new (std::nothrow) std::uint8_t[kBytes]);
    return first_ && second_;
}

ContentComparison CompareContents(const std::wstring& first, const std::wstring& second, CompareBuffers& buffers)
{
    if (!buffers.Ensure())
        return ContentComparison::kUnreadable;
    UniqueFile a = OpenForCompare(first);
    UniqueFile b = OpenForCompare(second);
    LARGE_INTEGER sizeA{}, sizeB{};
    if (!a || !b || !GetFileSizeEx(a.get(), &sizeA) || !GetFileSizeEx(b.get(), &sizeB))
        return ContentComparison::kUnreadable;
    if (sizeA.QuadPart != sizeB.QuadPart)
        return ContentComparison::kDifferent;
    std::uint64_t remaining = static_cast<std::uint64_t>(sizeA.QuadPart);
    DWORD chunk = kFirstChunk;
    while (remaining > 0) {
        const DWORD n = static_cast<DWORD>(std::min<std::uint64_t>(chunk, remaining));
        if (!ReadExactly(a.get(), buffers.First(), n) || !ReadExactly(b.get(), buffers.Second(), n))
            return ContentComparison::kUnreadable;
        if (std::memcmp(buffers.First(), buffers.Second(), n) != 0)
            return ContentComparison::kDifferent;
        remaining -= n;
        chunk = static_cast<DWORD>(std::min<std::size_t>(std::size_t{chunk} * 2, CompareBuffers::kBytes));
    }
    return ContentComparison::kSame;
}

bool FilesDiffer(const std::wstring& first, const std::wstring& second, CompareBuffers& buffers)
{
    // Without memory to compare in, or a file to read, the files count as different: the file
    // is then copied, never wrongly skipped.
    return CompareContents(first, second, buffers) != ContentComparison::kSame;
}

namespace {

constexpr std::uint64_t kFirstBlock = 64 * 1024;
constexpr std::uint64_t kLargestBlock = CompareBuffers::kBytes;

std::uint64_t ContentBlockStart(std::size_t index)
{
    if (index == 0)
        return 0;
    // 64 KiB, 128 KiB, ... up to the largest block; then one largest block after another.
    std::uint64_t start = kFirstBlock;
    std::size_t at = 1;
    for (; at < index && start < kLargestBlock; ++at)
        start *= 2;
    return start + (index - at) * kLargestBlock;
}

}  // namespace

std::size_t ContentBlockCount(std::uint64_t size)
{
    if (size == 0)
        return 0;
    // The growing blocks first (a few), then as many largest blocks as the rest takes, counted
    // at once: a file of gigabytes is thousands of blocks, and this is asked on every lookup.
    std::size_t count = 1;
    while (ContentBlockStart(count) < size && ContentBlockStart(count) < kLargestBlock)
        ++count;
    const std::uint64_t start = ContentBlockStart(count);
    return size <= start ? count : count + static_cast<std::size_t>((size - start + kLargestBlock - 1) / kLargestBlock);
}

bool HashContentBlocks(const std::wstring& path, std::size_t until, CompareBuffers& buffers, std::uint64_t* size,
                       std::vector<ContentHash>* hashes)
{
    if (!buffers.Ensure())
        return false;
    UniqueFile file = OpenForCompare(path);
    LARGE_INTEGER found{};
    if (!file || !GetFileSizeEx(file.get(), &found))
        return false;
    if (hashes->empty())
        *size = static_cast<std::uint64_t>(found.QuadPart);
    else if (*size != static_cast<std::uint64_t>(found.QuadPart))
        return false;
    until = std::min(until, ContentBlockCount(*size));
    std::size_t index = hashes->size();
    if (index >= until)
        return true;
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(ContentBlockStart(index));
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN))
        return false;
    for (; index < until; ++index) {
        const std::uint64_t end = std::min(ContentBlockStart(index + 1), *size);
        const auto n = static_cast<DWORD>(end - ContentBlockStart(index));
        if (!ReadExactly(file.get(), buffers.First(), n))
            return false;
        const XXH128_hash_t value = XXH3_128bits(buffers.First(), n);
        hashes->push_back(ContentHash{value.low64, value.high64});
    }
    return true;
}

bool FilesDiffer(const std::wstring& first, const std::wstring& second)
{
    CompareBuffers buffers;
    return FilesDiffer(first, second, buffers);
}
