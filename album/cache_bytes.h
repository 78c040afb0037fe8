#pragma once
// The bytes of the files the album keeps in its cache folder: little-endian numbers, and the
// checksum every such file carries of itself.

#include <cstddef>
#include <cstdint>
#include <vector>

inline std::uint64_t Fnv1a(const std::uint8_t* data, std::size_t size, std::uint64_t hash = 14695981039346656037ull)
{
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

inline void PutLittle(std::vector<std::uint8_t>& bytes, std::uint64_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline std::uint64_t GetLittle(const std::uint8_t* bytes, int count)
{
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}
