#pragma once
// The bytes of one box of an ISO base media file (HEIF, AVIF), and nothing beyond them: every
// read goes through a range that its parent box limits. A read that would leave the range
// fails, gives 0 and makes the range's error sticky, so a box can be read field by field and
// checked once at the end.

#include <cstdint>
#include <span>

class BoxRange {
public:
    BoxRange(const std::uint8_t* data, std::uint64_t begin, std::uint64_t end)
        : data_(data), position_(begin), end_(end)
    {
    }

    // A big-endian unsigned number of 0 to 8 bytes (0 bytes read as 0).
    std::uint64_t Read(unsigned bytes)
    {
        if (error_ || bytes > 8 || bytes > end_ - position_) {
            error_ = true;
            return 0;
        }
        std::uint64_t value = 0;
        for (unsigned i = 0; i < bytes; ++i)
            value = (value << 8) | data_[position_ + i];
        position_ += bytes;
        return value;
    }

    void Skip(std::uint64_t bytes)
    {
        if (error_ || bytes > end_ - position_) {
            error_ = true;
            return;
        }
        position_ += bytes;
    }

    // The next `length` bytes as a range of their own; this range goes on after them.
    BoxRange Take(std::uint64_t length)
    {
        if (error_ || length > end_ - position_) {
            error_ = true;
            return BoxRange(data_, end_, end_, true);
        }
        const BoxRange child(data_, position_, position_ + length);
        position_ += length;
        return child;
    }

    std::uint64_t Position() const { return position_; }
    // The bytes from here to the range's end (none after an error), for a reader of its own.
    std::span<const std::uint8_t> Rest() const
    {
        if (error_)
            return {};
        return {data_ + position_, static_cast<std::size_t>(end_ - position_)};
    }
    std::uint64_t Remaining() const { return end_ - position_; }
    bool Error() const { return error_; }

private:
    BoxRange(const std::uint8_t* data, std::uint64_t begin, std::uint64_t end, bool error)
        : data_(data), position_(begin), end_(end), error_(error)
    {
    }

    const std::uint8_t* data_;
    std::uint64_t position_;
    std::uint64_t end_;
    bool error_ = false;
};
