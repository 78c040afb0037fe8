#include "tests/organize/organize_test_files.h"

#include <gtest/gtest.h>

#include "organize/folder_utils.h"
#include "tests/metadata/exif_block_builder.h"
#include "tests/metadata/heif_box_builder.h"
#include "base/handles.h"

Bytes JpegWithDates(const std::string& dateTimeOriginal, const std::string& dateTime)
{
    ExifBlockBuilder builder;
    if (!dateTimeOriginal.empty())
        builder.Ascii(ExifBlockBuilder::kExif, 0x9003, dateTimeOriginal);
    if (!dateTime.empty())
        builder.Ascii(ExifBlockBuilder::kIfd0, 0x0132, dateTime);
    builder.Short(ExifBlockBuilder::kIfd0, 0x0112, 1);
    const Bytes payload = WithExifMarker(builder.Build());
    Bytes jpeg{0xFF, 0xD8, 0xFF, 0xE1, std::uint8_t((payload.size() + 2) >> 8), std::uint8_t(payload.size() + 2)};
    for (std::uint8_t b : payload)
        jpeg.push_back(b);
    for (std::uint8_t b : {0xFF, 0xDA, 0x00, 0x02, 0x12, 0x34, 0xFF, 0xD9})
        jpeg.push_back(b);
    return jpeg;
}

Bytes HeifWithDate(const std::string& dateTimeOriginal)
{
    ExifBlockBuilder builder(false);
    if (!dateTimeOriginal.empty())
        builder.Ascii(ExifBlockBuilder::kExif, 0x9003, dateTimeOriginal);
    else
        builder.Ascii(ExifBlockBuilder::kIfd0, 0x010F, "no date here");
    return MakeHeifFile(AsHeifItem(builder.Build()));
}

std::wstring MakeFile(const std::wstring& path, const Bytes& bytes)
{
    (void)CreateFolderPath(path.substr(0, path.rfind(L'\\')));  // a folder not made fails the write
    EXPECT_TRUE(WriteBytes(path, bytes)) << "cannot write the test file";
    return path;
}

void SetLocalLastWrite(const std::wstring& path, WORD year, WORD month, WORD day, WORD hour, WORD minute,
                       WORD second)
{
    SYSTEMTIME local{year, month, 0, day, hour, minute, second, 0};
    FILETIME localTime{}, utc{};
    ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
    UniqueFile file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(file);
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &utc));
}
