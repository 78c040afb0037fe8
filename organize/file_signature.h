#pragma once
// Content signatures, whole-content hashes and byte comparison: the stages of the duplicate
// test, from the cheapest to the surest.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What a signature is made of: the file's size and this much of its head.
constexpr std::size_t kSignatureHeadBytes = 256;
// The signature of a file that cannot be read.
constexpr std::uint64_t kUnreadableSignature = 0xFFFFFFFFFFFFFFFFull;

// A 64-bit value from a file's size and first 256 bytes; all ones when the file cannot be
// read. Stored in record files, so computed exactly as it always has been: the bytes count
// as signed, and the second half of the 512-byte block is always zero.
std::uint64_t ComputeFileSignature(const std::wstring& path);
// The same from a size and the head already read (up to 256 bytes of it).
std::uint64_t ContentSignature(std::uint64_t size, const std::uint8_t* head, std::size_t count);

// The two read buffers of the byte comparison, obtained once and reused for every pair.
class CompareBuffers {
public:
    static constexpr std::size_t kBytes = 1 << 20;  // 1 MiB each: the largest chunk read
    // False when the memory cannot be had.
    bool Ensure();
    std::uint8_t* First() { return first_.get(); }
    std::uint8_t* Second() { return second_.get(); }

private:
    std::unique_ptr<std::uint8_t[]> first_;
    std::unique_ptr<std::uint8_t[]> second_;
};

// A 128-bit hash (xxHash's XXH3) of one block of a file's content, for telling apart files
// whose signatures agree. Never proof of sameness on its own: files are compared byte by byte
// when their hashes agree.
struct ContentHash {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    bool operator==(const ContentHash&) const = default;
};
// A file is hashed block by block, small blocks first (64 KiB, 64 KiB, 128 KiB, doubling to
// 1 MiB, then 1 MiB each): look-alikes that differ early are told apart after little reading.
std::size_t ContentBlockCount(std::uint64_t size);
// Appends to *hashes the hashes of the file's blocks from hashes->size() up to (not including)
// block `until`, or its last. *size: the file's size; zero before the first call, which
// learns it. False when the file cannot be read, or its size is no longer *size.
bool HashContentBlocks(const std::wstring& path, std::size_t until, CompareBuffers& buffers, std::uint64_t* size,
                       std::vector<ContentHash>* hashes);

// What a byte comparison of two files found. kUnreadable: one of them could not be read to
// its end (or the memory to compare in could not be had), so nothing is known of their bytes.
enum class ContentComparison { kSame, kDifferent, kUnreadable };
// Reads both in lock-step, in chunks that grow from 64 KiB, so that an early difference is
// found after little reading.
ContentComparison CompareContents(const std::wstring& first, const std::wstring& second, CompareBuffers& buffers);
// False only when both files can be read and hold the same bytes.
bool FilesDiffer(const std::wstring& first, const std::wstring& second, CompareBuffers& buffers);
bool FilesDiffer(const std::wstring& first, const std::wstring& second);
