// The real image set travels with the project: a clone that lacks a file, or holds a cut-short
// one, must fail here by name rather than let the tests that read the set pass on less.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "metadata/file_reader.h"
#include "tests/metadata/metadata_test_data.h"

namespace {

struct OracleEntry {
    std::string file;
    std::uint64_t size = 0;
};

// The "file" and "FileSize" pairs of oracle.json. Every entry names its file first and its
// size soon after; a small scan is enough for a file we carry ourselves.
std::vector<OracleEntry> OracleEntries(const std::string& json)
{
    std::vector<OracleEntry> entries;
    const std::string fileKey = "\"file\": \"";
    const std::string sizeKey = "\"FileSize\": ";
    for (std::size_t at = json.find(fileKey); at != std::string::npos; at = json.find(fileKey, at)) {
        at += fileKey.size();
        const std::size_t end = json.find('"', at);
        const std::size_t size = json.find(sizeKey, end);
        if (end == std::string::npos || size == std::string::npos)
            break;
        entries.push_back({json.substr(at, end - at), std::stoull(json.substr(size + sizeKey.size()))});
    }
    return entries;
}

TEST(RealTestDataTest, EveryFileOfTheOracleIsPresentWhole)
{
    const std::vector<std::uint8_t> oracle = ReadWholeFile(RealTestFile("oracle.json"));
    ASSERT_FALSE(oracle.empty()) << "tests/data/real/oracle.json is missing or empty";
    const std::vector<OracleEntry> entries = OracleEntries(std::string(oracle.begin(), oracle.end()));
    ASSERT_EQ(entries.size(), 71u);

    std::uint64_t total = 0;
    for (const OracleEntry& entry : entries) {
        const std::unique_ptr<FileReader> file = FileReader::Open(RealTestFile(entry.file));
        ASSERT_TRUE(file) << entry.file << " is missing from tests/data/real";
        EXPECT_EQ(file->Size(), entry.size) << entry.file;
        total += file->Size();
    }
    EXPECT_EQ(total, 17128760u);  // what the set's README gives
    EXPECT_FALSE(ReadWholeFile(RealTestFile("README.md")).empty()) << "the sources and licences";
}

}  // namespace
