#pragma once
// One element of a RATIONAL entry as stored: a numerator over a denominator, never zero.

#include <cstdint>

struct ExifRational {
    std::uint32_t numerator = 0;
    std::uint32_t denominator = 1;

    double Value() const { return double(numerator) / double(denominator); }
    bool operator==(const ExifRational&) const = default;
};
