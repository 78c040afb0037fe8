#pragma once
// The byte streams of the comparison record file: little-endian values, read and written
// through a 64 KiB buffer. A read never takes more than the file holds: lengths read from the
// file are checked against what remains before anything is allocated for them.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/status_code.h"

class RecordReader {
public:
    // `file` stays the caller's; `folder` is the record file's folder.
    RecordReader(HANDLE file, std::uint64_t fileSize, std::wstring folder);

    // Each read delivers all of its bytes or fails; after a failure every read fails.
    bool Read(void* out, std::size_t count);
    bool ReadU32(std::uint32_t* value);
    bool ReadI32(std::int32_t* value);
    bool ReadU64(std::uint64_t* value);

    // Bytes of the file not yet read.
    std::uint64_t Remaining() const { return size_ - consumed_; }
    // Marks the stream failed because a value read from it cannot be right.
    void Reject();

    StatusCode Status() const { return status_; }
    const std::wstring& Folder() const { return folder_; }

private:
    HANDLE file_;
    std::uint64_t size_;
    std::uint64_t consumed_ = 0;
    std::wstring folder_;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    StatusCode status_ = kStatusOk;
};

class RecordWriter {
public:
    RecordWriter(HANDLE file, std::wstring folder);
    virtual ~RecordWriter() = default;

    // Failures are sticky: after one, nothing more is written.
    bool Write(const void* data, std::size_t count);
    bool WriteU32(std::uint32_t value);
    bool WriteI32(std::int32_t value);
    bool WriteU64(std::uint64_t value);
    // Writes out what the buffer holds.
    bool Finish();

    StatusCode Status() const { return status_; }
    const std::wstring& Folder() const { return folder_; }

protected:
    // One write of the buffer to the file; tests replace it with a failing one.
    virtual StatusCode WriteToFile(const void* data, DWORD count);

    HANDLE file_;

private:
    bool Flush();

    std::wstring folder_;
    std::vector<std::uint8_t> buffer_;
    StatusCode status_ = kStatusOk;
};
