#pragma once
// The tag dictionaries: which tags of a directory open a sub-directory, and every known
// tag's English and Japanese label.

#include <cstdint>
#include <map>

struct ExifTagEntry;
using ExifTagDictionary = std::map<std::uint16_t, ExifTagEntry>;

struct ExifTagEntry {
    const char* english;
    const char* japanese;
    const ExifTagDictionary* subDictionary;  // null for ordinary tags
};

// Directory bases: 0 for the main chain, the pointer tag for a sub-directory.
constexpr std::uint16_t kExifIfdPointer = 0x8769;
constexpr std::uint16_t kGpsIfdPointer = 0x8825;
constexpr std::uint16_t kInteropIfdPointer = 0xA005;

const ExifTagDictionary& MainTagDictionary();
const ExifTagDictionary& ExifIfdTagDictionary();
const ExifTagDictionary& GpsTagDictionary();
const ExifTagDictionary& InteropTagDictionary();

// The dictionary of the directory a base names; the main one for 0 or a base it does not know.
const ExifTagDictionary& TagDictionaryOfBase(std::uint16_t base);

// "undefined" for a tag the dictionary does not know.
const char* EnglishTagLabel(const ExifTagDictionary& dictionary, std::uint16_t tag);
