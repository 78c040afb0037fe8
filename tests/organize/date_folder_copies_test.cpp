// Where a run's copies go and how they are made: names in their date folders, clash counters,
// the copy under a work name, the flush, and what is refused before anything is made.

#include <windows.h>

#include <map>
#include <utility>
#include <vector>

#include "organize/date_folder_writer.h"
#include "organize/flush_copies.h"
#include "organize/organize_run.h"
#include "organize/output_names.h"
#include "organize/planned_copy.h"
#include "tests/organize/organize_fixture.h"

namespace {

class DateFolderCopiesTest : public OrganizeFixture {
protected:
    static constexpr int kLayout = 8;  // YYYY\MM\DD

    // A file in an input folder of its own, so that several may share a name, dated by its
    // last-write time.
    std::wstring Source(const std::wstring& name, const Bytes& bytes, const std::wstring& card = L"in")
    {
        const std::wstring path = MakeFile(root_.File(card + L"\\" + name), bytes);
        SetLocalLastWrite(path, 2024, 7, 5, 12, 0, 0);
        return path;
    }
    // The file planned and copied as a run plans and copies it; its copy's name.
    static std::wstring Place(DateFolderWriter& writer, const std::wstring& source)
    {
        FileFacts facts;
        EXPECT_TRUE(GatherFileFacts(source, nullptr, &facts));
        PlannedCopy plan;
        EXPECT_EQ(writer.Plan(facts, &plan), kStatusOk);
        EXPECT_EQ(MakePlannedCopy(plan), kStatusOk);
        return plan.destination;
    }
    OrganizeResult Run(const std::vector<std::wstring>& inputs)
    {
        RecordingProgress progress;
        OrganizeResult result = RunOrganize(g_OrganizeSettings, progress, inputs, output_);
        EXPECT_FALSE(result.Failed()) << RunFailureText(result);
        return result;
    }
    // The output folder's files with their bytes, the record left out.
    std::map<std::wstring, Bytes> OutputFiles() const
    {
        std::map<std::wstring, Bytes> files = FolderSnapshot(output_);
        files.erase(std::wstring(L"\\") + kRecordFileName);
        return files;
    }
};

// Three cards with a photo of the same name and day, each its own picture, go into a day
// folder that holds a file of another photo's name and a folder of a third's, below a year
// folder with a file of its own. Nothing there is overwritten, each clash takes the next free
// counter, and no work file is left. A run that then finds no record takes the copies it
// meets as the ones it made, and makes no twin of them.
TEST_F(DateFolderCopiesTest, ClashesTakeTheNextFreeCounterAndALostRecordMakesNoTwins)
{
    const std::wstring year = L"\\2019";
    const std::wstring day = year + L"\\07\\14\\";
    std::vector<std::wstring> cards;
    std::map<std::wstring, Bytes> expected;
    for (const wchar_t card : {L'a', L'b', L'c'}) {
        cards.push_back(root_.File(std::wstring(L"card_") + card));
        const std::wstring photo = Photo(std::wstring(L"card_") + card + L"\\IMG_0001.JPG", "2019:07:14 09:30:00",
                                         static_cast<char>(card));
        expected[day + (card == L'a' ? L"IMG_0001.JPG" : card == L'b' ? L"IMG_0001(1).JPG" : L"IMG_0001(2).JPG")] =
            ReadBytes(photo);
    }
    expected[day + L"same(1).jpg"] = ReadBytes(Photo(L"card_c\\same.jpg", "2019:07:14 10:00:00", 's'));
    expected[day + L"folder(1).jpg"] = ReadBytes(Photo(L"card_c\\folder.jpg", "2019:07:14 11:00:00", 'f'));
    expected[day + L"same.jpg"] = Bytes{'o', 'l', 'd'};
    expected[year + L"\\keep.txt"] = Bytes{'x'};
    MakeFile(output_ + day + L"same.jpg", expected[day + L"same.jpg"]);
    MakeFile(output_ + year + L"\\keep.txt");
    ASSERT_TRUE(CreateDirectoryW((output_ + day + L"folder.jpg").c_str(), nullptr));
    const auto cardFiles = [&cards] {
        std::map<std::wstring, Bytes> files;
        for (const std::wstring& card : cards) {
            for (auto& [name, bytes] : FolderSnapshot(card))
                files[card + name] = std::move(bytes);
        }
        return files;
    };
    const std::map<std::wstring, Bytes> sources = cardFiles();

    OrganizeResult result = Run(cards);
    EXPECT_EQ(result.counts.copied, 5);
    EXPECT_EQ(OutputFiles(), expected);
    EXPECT_EQ(cardFiles(), sources);  // the sources as they were

    ASSERT_TRUE(DeleteFileW(RecordPathOf(output_).c_str()));
    result = Run(cards);
    EXPECT_EQ(result.counts.copied, 0);
    EXPECT_EQ(result.counts.duplicates, 5);
    EXPECT_EQ(OutputFiles(), expected);
}

// Files the run would not list as photos, planned and copied as the run does: a counter goes
// before the last extension, and a dot in the output folder's name is no extension. Copies are
// flushed several at once; one that is gone by then is named and the others are flushed all
// the same, their bytes untouched. A file without a date, and a destination past the longest
// path the system can name, are refused before anything is made.
TEST_F(DateFolderCopiesTest, CountersGoBeforeTheLastExtensionAndWhatCannotBePlacedMakesNothing)
{
    output_ = root_.File(L"my.photos");
    const std::wstring day = output_ + L"\\2024\\07\\05\\";
    DateFolderWriter writer(output_, kLayout);
    std::vector<std::wstring> copies;
    for (const auto& [name, clash] : {std::pair{L"archive.tar.gz", L"archive.tar(1).gz"},
                                      std::pair{L"README", L"README(1)"},
                                      std::pair{L".profile", L"(1).profile"}}) {
        copies.push_back(Place(writer, Source(name, {'d'}, L"one")));
        EXPECT_EQ(copies.back(), day + name);
        copies.push_back(Place(writer, Source(name, {'e'}, L"two")));
        EXPECT_EQ(copies.back(), day + clash);
    }

    const std::wstring gone = root_.File(L"gone.jpg");
    copies.insert(copies.begin() + 3, gone);
    const auto failed = FlushCopiesToDisk(copies, 3);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].first, gone);
    EXPECT_NE(failed[0].second, kStatusOk);
    EXPECT_EQ(ReadBytes(copies[0]), Bytes{'d'});
    EXPECT_EQ(ReadBytes(copies[6]), Bytes{'e'});

    const std::wstring deep = root_.File(std::wstring(32600, L'o'));
    DateFolderWriter tooLong(deep, kLayout);
    FileFacts facts;
    EXPECT_FALSE(GatherFileFacts(gone, nullptr, &facts));
    PlannedCopy plan;
    EXPECT_EQ(tooLong.Plan(facts, &plan), kStatusFail);
    EXPECT_TRUE(plan.destination.empty());
    ASSERT_TRUE(GatherFileFacts(Source(std::wstring(200, L'n') + L".jpg", {'l'}), nullptr, &facts));
    EXPECT_EQ(tooLong.Plan(facts, &plan), static_cast<StatusCode>(0x800700CE));
    EXPECT_TRUE(plan.destination.empty());
    EXPECT_EQ(GetFileAttributesW(deep.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
