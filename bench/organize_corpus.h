#pragma once
// The folders the organize benchmark runs over, written as a camera, a phone and a screen
// capture would have written them. Every byte is written (no sparse files), so that a copy
// costs what it costs with real photos.

#include <cstdint>
#include <string>
#include <vector>

struct Corpus {
    std::vector<std::wstring> inputs;  // the input folders
    int files = 0;
    std::uint64_t bytes = 0;
};

// Like a day's cards: a camera card (photos with Exif dates, a few movies), a second camera's
// card with the same file names on the same days (name clashes), and a phone folder with
// Japanese names and screenshots of one screen (same size, same first rows: look-alikes);
// one file in ten is an exact copy of an earlier one. About 400 files, 830 MB.
Corpus MakeCardsCorpus(const std::wstring& root);

// `files` screenshots of one screen size whose first rows are the same: they share size and
// head, and differ only near their ends. 1 MiB each.
Corpus MakeLookAlikes(const std::wstring& root, int files);

// Small camera files (24 KiB photos with Exif dates, 50 a day back in time from May 2024) on
// 10 cards of 100 folders each.
Corpus MakeManySmallFiles(const std::wstring& root, int files);
