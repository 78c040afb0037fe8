#pragma once
// The one error the Exif parser throws. It never leaves the reader: ExifInfo turns every
// failure into a plain false.

#include <stdexcept>
#include <string>

class ExifParsingException : public std::runtime_error {
public:
    enum Code {
        kInvalidFileFormat = 1,
        kDataReadError = 2,
        kInvalidOffset = 3,
        kTagNotFound = 6,
        kTypeMismatch = 7,
        kIndexOutOfBounds = 8,
        kUnknownTiffType = 9,
        kInternalError = 11,
    };

    ExifParsingException(int code, std::string message)
        : std::runtime_error(""), code_(code), message_(std::move(message))
    {
    }

    int Code() const noexcept { return code_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    int code_;
    std::string message_;
};
