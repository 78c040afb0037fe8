#include "organize/output_record.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <vector>

#include "base/handles.h"
#include "base/log_file.h"
#include "base/read_counters.h"
#include "organize/duplicate_lookahead.h"
#include "organize/organize_limits.h"
#include "tests/metadata/metadata_test_data.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"

namespace {

std::uint32_t U32At(const Bytes& bytes, std::size_t at)
{
    return std::uint32_t{bytes[at]} | (std::uint32_t{bytes[at + 1]} << 8) |
           (std::uint32_t{bytes[at + 2]} << 16) | (std::uint32_t{bytes[at + 3]} << 24);
}

// A writer that fails once it has taken `limit` bytes, as a disk does when it fills up.
class FailingWriter : public RecordWriter {
public:
    FailingWriter(HANDLE file, const std::wstring& folder, std::size_t limit)
        : RecordWriter(file, folder), limit_(limit)
    {
    }

protected:
    StatusCode WriteToFile(const void* data, DWORD count) override
    {
        const DWORD room = static_cast<DWORD>(limit_ > written_ ? limit_ - written_ : 0);
        const DWORD take = count < room ? count : room;
        DWORD done = 0;
        WriteFile(file_, data, take, &done, nullptr);
        written_ += done;
        return take == count ? kStatusOk : StatusFromWin32(ERROR_DISK_FULL);
    }

private:
    std::size_t limit_;
    std::size_t written_ = 0;
};

class OutputRecordTest : public testing::Test {
protected:
    TempFolder root_;
    std::wstring output_ = root_.File(L"出力");
    std::wstring record_ = output_ + L"\\Sortavel.dat";
    std::wstring logPath_ = root_.File(L"log.txt");

    void SetUp() override
    {
        ASSERT_TRUE(CreateDirectoryW(output_.c_str(), nullptr));
        g_Log.SetPath(logPath_);
    }
    void TearDown() override { g_Log.SetPath(L""); }

    // A file of the output folder, with its folders.
    std::wstring MakeOutputFile(const std::wstring& relative, const Bytes& bytes)
    {
        std::wstring path = output_;
        for (size_t start = 0, slash; (slash = relative.find(L'\\', start)) != std::wstring::npos; start = slash + 1)
            CreateDirectoryW((output_ + L"\\" + relative.substr(0, slash)).c_str(), nullptr);
        path += L"\\" + relative;
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }

    std::wstring Log() const { return ReadUtf16Text(logPath_); }

    // Records the file now at `path`, as a run records a copy it made.
    static void Record(OutputRecord& table, const std::wstring& path)
    {
        table.AddCopy(path, path, ComputeFileSignature(path));
    }
    // True when a byte-identical file is in the table.
    static bool Holds(OutputRecord& table, const std::wstring& input)
    {
        return table.FindDuplicate(input, ComputeFileSignature(input)) != nullptr;
    }
};

TEST_F(OutputRecordTest, EmptyTableSavesHeaderAndZeroCounts)
{
    OutputRecord table;
    table.SetOutputFormat(3);
    ASSERT_EQ(table.Save(record_), kStatusOk);
    const Bytes bytes = ReadBytes(record_);
    ASSERT_EQ(bytes.size(), 2064u);
    const Bytes header(bytes.begin(), bytes.begin() + 16);
    EXPECT_EQ(header, (Bytes{0x00, 0x00, 0x01, 0x00, 0x03, 0, 0, 0, 0x01, 0, 0, 0, 0x00, 0x02, 0, 0}));
    for (std::size_t at = 16; at < bytes.size(); ++at)
        ASSERT_EQ(bytes[at], 0) << "at " << at;
    EXPECT_FALSE(FileExists(record_ + L".saving"));
}

TEST_F(OutputRecordTest, OneItemIsStoredWithItsRelativePath)
{
    const std::wstring file = MakeOutputFile(L"2024\\05\\a.jpg", {'a', 'b', 'c'});
    OutputRecord table;
    Record(table, file);
    table.SetOutputFormat(5);
    ASSERT_EQ(table.Save(record_), kStatusOk);

    const Bytes bytes = ReadBytes(record_);
    ASSERT_EQ(bytes.size(), 2108u);
    // Buckets before 505 are empty; 505 holds the item.
    std::size_t at = 16 + 505 * 4;
    EXPECT_EQ(U32At(bytes, at), 1u);
    EXPECT_EQ(U32At(bytes, at + 4), 0x9FCF19F9u);  // low half first
    EXPECT_EQ(U32At(bytes, at + 8), 0x2C716FB5u);
    EXPECT_EQ(U32At(bytes, at + 12), 15u);
    const Bytes path(bytes.begin() + static_cast<std::ptrdiff_t>(at + 16),
                     bytes.begin() + static_cast<std::ptrdiff_t>(at + 16 + 32));
    Bytes wanted = Utf16Bytes(L".\\2024\\05\\a.jpg");
    wanted.push_back(0);
    wanted.push_back(0);
    EXPECT_EQ(path, wanted);

    OutputRecord loaded;
    ASSERT_EQ(loaded.Load(record_).outcome, RecordLoad::kLoaded);
    EXPECT_EQ(loaded.Version(), 0x00010000u);
    EXPECT_EQ(loaded.OutputFormat(), 5);
    ASSERT_EQ(loaded.ItemCount(), 1);
    ASSERT_EQ(loaded.Bucket(505).size(), 1u);
    EXPECT_EQ(loaded.Bucket(505)[0].Path(), file);
    EXPECT_EQ(loaded.Bucket(505)[0].Signature(), 0x2C716FB59FCF19F9ull);
}

TEST_F(OutputRecordTest, MovedOutputFolderKeepsItsRecord)
{
    MakeOutputFile(L"2023\\12\\IMG_0001.JPG", Bytes(1000, 1));
    MakeOutputFile(L"2024\\01\\写真.JPG", Bytes(2000, 2));
    OutputRecord table;
    Record(table, output_ + L"\\2023\\12\\IMG_0001.JPG");
    Record(table, output_ + L"\\2024\\01\\写真.JPG");
    ASSERT_EQ(table.Save(record_), kStatusOk);

    const std::wstring moved = root_.File(L"moved");
    ASSERT_TRUE(MoveFileW(output_.c_str(), moved.c_str()));
    OutputRecord loaded;
    ASSERT_EQ(loaded.Load(moved + L"\\Sortavel.dat").outcome, RecordLoad::kLoaded);
    ASSERT_EQ(loaded.ItemCount(), 2);
    std::vector<std::wstring> paths;
    for (int b = 0; b < OutputRecord::kBucketCount; ++b)
        for (const auto& item : loaded.Bucket(b))
            paths.push_back(item.Path());
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::wstring>{moved + L"\\2023\\12\\IMG_0001.JPG", moved + L"\\2024\\01\\写真.JPG"}));
    // The files there are found again.
    const std::wstring input = root_.File(L"input.jpg");
    ASSERT_TRUE(WriteBytes(input, Bytes(2000, 2)));
    EXPECT_TRUE(Holds(loaded, input));
}

TEST_F(OutputRecordTest, ItemThatCannotBeMadeRelativeIsStoredEmpty)
{
    // The real test images lie on another drive than the temporary folder.
    const std::wstring elsewhere = RealTestFile("jpeg/mde_Apple_iPhone_5.jpg");
    ASSERT_NE(towupper(elsewhere[0]), towupper(output_[0]));
    OutputRecord table;
    Record(table, elsewhere);
    ASSERT_EQ(table.Save(record_), kStatusOk);
    EXPECT_EQ(FileSize(record_), 2064u + 8 + 4 + 2);

    OutputRecord loaded;
    ASSERT_EQ(loaded.Load(record_).outcome, RecordLoad::kLoaded);
    ASSERT_EQ(loaded.ItemCount(), 1);
    std::wstring path;
    for (int b = 0; b < OutputRecord::kBucketCount; ++b)
        for (const auto& item : loaded.Bucket(b))
            path = item.Path();
    EXPECT_EQ(path, output_ + L"\\");  // the folder itself, which matches no input file
    EXPECT_FALSE(Holds(loaded, elsewhere));
}

TEST_F(OutputRecordTest, MissingRecordIsResultTwoAndLeavesTheTable)
{
    OutputRecord table;
    EXPECT_EQ(table.Load(record_).outcome, RecordLoad::kNoRecordFile);
    EXPECT_EQ(table.OutputFormat(), -1);
    EXPECT_EQ(table.ItemCount(), 0);
    const std::wstring log = Log();
    EXPECT_NE(log.find(L" : 比較情報の読み込み。\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L" : 比較情報は存在しない。\r\n"), std::wstring::npos) << log;
}

TEST_F(OutputRecordTest, ARecordAnotherProgramHoldsIsReadWhenItSharesIt)
{
    OutputRecord table;
    table.SetOutputFormat(8);
    Record(table, MakeOutputFile(L"2024\\05\\a.jpg", Bytes(10, 1)));
    ASSERT_EQ(table.Save(record_), kStatusOk);
    // A sync program that keeps the record open for writing and lets others read.
    HANDLE held = CreateFileW(record_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    OutputRecord loaded;
    EXPECT_EQ(loaded.Load(record_).outcome, RecordLoad::kLoaded);
    EXPECT_EQ(loaded.ItemCount(), 1);
    CloseHandle(held);
}

TEST_F(OutputRecordTest, ARecordThatIsThereButDeniedIsAnErrorNotAMissingRecord)
{
    OutputRecord table;
    ASSERT_EQ(table.Save(record_), kStatusOk);
    HANDLE held = CreateFileW(record_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    OutputRecord loaded;
    const RecordLoad result = loaded.Load(record_);
    CloseHandle(held);
    EXPECT_EQ(result.outcome, RecordLoad::kFailed);
    EXPECT_EQ(result.status, StatusFromWin32(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(Log().find(L"比較情報は存在しない。"), std::wstring::npos);
    // A folder that is not there is no record either.
    EXPECT_EQ(loaded.Load(output_ + L"\\missing\\Sortavel.dat").outcome, RecordLoad::kNoRecordFile);
}

TEST_F(OutputRecordTest, RecordCutShortAtEveryByteFailsToLoad)
{
    MakeOutputFile(L"2024\\05\\a.jpg", Bytes(10, 1));
    MakeOutputFile(L"2024\\05\\b.jpg", Bytes(20, 2));
    OutputRecord table;
    Record(table, output_ + L"\\2024\\05\\a.jpg");
    Record(table, output_ + L"\\2024\\05\\b.jpg");
    ASSERT_EQ(table.Save(record_), kStatusOk);
    const Bytes whole = ReadBytes(record_);
    const std::wstring cut = root_.File(L"cut.dat");
    for (std::size_t length = 0; length < whole.size(); ++length) {
        ASSERT_TRUE(WriteBytes(cut, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length))));
        OutputRecord loaded;
        const RecordLoad result = loaded.Load(cut);
        ASSERT_EQ(result.outcome, RecordLoad::kDamaged) << "length " << length;
        ASSERT_EQ(result.status, OutputRecord::kRecordDamaged) << "length " << length;
    }
    EXPECT_NE(Log().find(L" : 比較情報の読み込みに失敗しました。\r\n"), std::wstring::npos);
}

TEST_F(OutputRecordTest, CountsAndLengthsBeyondTheFileAreRejected)
{
    auto record = [](std::int32_t buckets, std::int32_t items, std::int32_t length) {
        Bytes bytes = {0, 0, 1, 0, 3, 0, 0, 0, 1, 0, 0, 0};
        auto put = [&bytes](std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        };
        put(static_cast<std::uint32_t>(buckets));
        put(static_cast<std::uint32_t>(items));
        put(0x12345678);
        put(0);
        put(static_cast<std::uint32_t>(length));
        for (int i = 0; i < 40; ++i)
            bytes.push_back(0);
        return bytes;
    };
    const Bytes hostile[] = {record(-1, 1, 1),         record(0x7FFFFFFF, 1, 1), record(1, -5, 1),
                             record(1, 0x7FFFFFFF, 1), record(1, 1, -1),         record(1, 1, 0x7FFFFFFF),
                             record(1, 1, 260),        record(1, 1, 30)};
    for (const Bytes& bytes : hostile) {
        ASSERT_TRUE(WriteBytes(record_, bytes));
        OutputRecord loaded;
        EXPECT_EQ(loaded.Load(record_).outcome, RecordLoad::kDamaged);
    }
    // The same layout with honest numbers loads: one bucket record, one item, and nothing
    // after its 3-character path.
    Bytes honest = record(1, 1, 3);
    honest.resize(honest.size() - 40 + 2 * (3 + 1));
    ASSERT_TRUE(WriteBytes(record_, honest));
    OutputRecord loaded;
    EXPECT_EQ(loaded.Load(record_).outcome, RecordLoad::kLoaded);
    EXPECT_EQ(loaded.ItemCount(), 1);
}

// A record made of one bucket with the given items' paths.
Bytes RecordOf(const std::vector<std::wstring>& paths)
{
    Bytes bytes = {0, 0, 1, 0, 8, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, static_cast<std::uint8_t>(paths.size()), 0, 0, 0};
    for (const std::wstring& path : paths) {
        bytes.insert(bytes.end(), 8, 0x11);
        const std::uint32_t length = static_cast<std::uint32_t>(path.size());
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
        const Bytes text = Utf16Bytes(path);
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.insert(bytes.end(), {0, 0});
    }
    return bytes;
}

TEST_F(OutputRecordTest, AnEntryThatLeadsOutOfTheFolderMakesTheRecordDamaged)
{
    // Made the way the program makes them, entries stay inside; so do these.
    ASSERT_TRUE(WriteBytes(record_, RecordOf({L".\\2024\\a.jpg", L"", L"2024\\b.jpg", L".\\..a\\c.jpg"})));
    OutputRecord honest;
    ASSERT_EQ(honest.Load(record_).outcome, RecordLoad::kLoaded);
    EXPECT_EQ(honest.ItemCount(), 4);
    EXPECT_EQ(honest.Bucket(0x111)[3].Path(), output_ + L"\\..a\\c.jpg");

    for (const wchar_t* outside : {L"..\\secret.txt", L".\\2024\\..\\..\\secret.txt", L"./../secret.txt",
                                   L"\\Windows\\win.ini", L"C:\\Windows\\win.ini", L"C:secret.txt",
                                   L"\\\\server\\share\\x.jpg", L"\\\\?\\C:\\x.jpg", L".\\a.jpg:stream",
                                   L".\\CON", L"..", L".\\2024\\..", L"2024\\..\\b.jpg"}) {
        ASSERT_TRUE(WriteBytes(record_, RecordOf({L".\\2024\\a.jpg", outside})));
        OutputRecord loaded;
        EXPECT_EQ(loaded.Load(record_).outcome, RecordLoad::kDamaged) << outside;
    }
    EXPECT_NE(Log().find(L"比較情報が壊れています = " + record_), std::wstring::npos);
}

TEST_F(OutputRecordTest, RecordsPastTheLimitsAreRefusedBeforeTheyAreRead)
{
    // Far more files than any record holds, in a bucket whose items the file could hold.
    const std::int64_t items = organize_limits::kMaxRecordedFiles + 1;
    Bytes bytes = {0, 0, 1, 0, 8, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<std::uint8_t>(items >> (8 * i)));
    ASSERT_TRUE(WriteBytes(record_, bytes));
    auto growTo = [this](std::int64_t size) {
        UniqueFile file(CreateFileW(record_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER end{};
        end.QuadPart = size;
        return file && SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
    };
    ASSERT_TRUE(growTo(items * 14 + 20));  // zeros: items of empty paths
    OutputRecord many;
    EXPECT_EQ(many.Load(record_).outcome, RecordLoad::kDamaged);
    EXPECT_EQ(many.ItemCount(), 0);  // not one item read

    // A record larger than the most entries of the longest paths is not read at all.
    ASSERT_TRUE(growTo(organize_limits::kMaxRecordBytes + 1));
    OutputRecord huge;
    EXPECT_EQ(huge.Load(record_).outcome, RecordLoad::kDamaged);
    EXPECT_EQ(huge.ItemCount(), 0);
}

TEST_F(OutputRecordTest, ForeignBucketCountIsRebucketedBySignature)
{
    Bytes bytes = {0, 0, 1, 0, 7, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    const std::uint64_t signature = 0x2C716FB59FCF19F9ull;
    for (int i = 0; i < 8; ++i)
        bytes.push_back(static_cast<std::uint8_t>(signature >> (8 * i)));
    const Bytes rel = Utf16Bytes(L".\\x.jpg");
    bytes.insert(bytes.end(), {7, 0, 0, 0});
    bytes.insert(bytes.end(), rel.begin(), rel.end());
    bytes.insert(bytes.end(), {0, 0});
    ASSERT_TRUE(WriteBytes(record_, bytes));
    OutputRecord loaded;
    ASSERT_EQ(loaded.Load(record_).outcome, RecordLoad::kLoaded);
    EXPECT_EQ(loaded.OutputFormat(), 7);
    ASSERT_EQ(loaded.Bucket(505).size(), 1u);
    EXPECT_EQ(loaded.Bucket(505)[0].Path(), output_ + L"\\x.jpg");
    EXPECT_NE(Log().find(L" : 比較情報の数       = 1\r\n"), std::wstring::npos);
}

TEST_F(OutputRecordTest, FailedSaveLeavesThePreviousRecordUntouched)
{
    const std::wstring file = MakeOutputFile(L"2024\\05\\a.jpg", {'a', 'b', 'c'});
    OutputRecord first;
    Record(first, file);
    ASSERT_EQ(first.Save(record_), kStatusOk);
    const Bytes before = ReadBytes(record_);

    OutputRecord second;
    for (int i = 0; i < 50; ++i)
        Record(second, file);
    for (std::size_t limit : {std::size_t{0}, std::size_t{10}, std::size_t{2000}, std::size_t{3000}}) {
        const StatusCode result = second.SaveThrough(record_, [limit](HANDLE h, const std::wstring& folder) {
            return std::make_unique<FailingWriter>(h, folder, limit);
        });
        EXPECT_EQ(result, StatusFromWin32(ERROR_DISK_FULL)) << "limit " << limit;
        EXPECT_EQ(ReadBytes(record_), before) << "limit " << limit;
        EXPECT_FALSE(FileExists(record_ + L".saving"));
    }
    const std::wstring log = Log();
    EXPECT_NE(log.find(L" : 比較情報の保存に失敗しました。\r\n"), std::wstring::npos) << log;
    // The count is logged after the failure too.
    EXPECT_LT(log.rfind(L"比較情報の保存に失敗しました。"), log.rfind(L" : 比較情報の数       = 50\r\n"));
}

TEST_F(OutputRecordTest, ReadOnlyRecordCannotBeCreated)
{
    OutputRecord first;
    ASSERT_EQ(first.Save(record_), kStatusOk);
    const Bytes before = ReadBytes(record_);
    ASSERT_TRUE(SetFileAttributesW(record_.c_str(), FILE_ATTRIBUTE_READONLY));
    OutputRecord second;
    second.SetOutputFormat(9);
    EXPECT_EQ(second.Save(record_), StatusFromWin32(ERROR_ACCESS_DENIED));  // as a write to it is refused
    EXPECT_EQ(ReadBytes(record_), before);
    EXPECT_NE(Log().find(L" : 比較情報のオープンに失敗しました。\r\n"), std::wstring::npos);
    SetFileAttributesW(record_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(OutputRecordTest, DuplicatesAreIdenticalContentOnly)
{
    Bytes content(70000);
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<std::uint8_t>(i % 251);
    OutputRecord table;
    Record(table, MakeOutputFile(L"2024\\05\\kept.jpg", content));

    const std::wstring same = root_.File(L"same name elsewhere.jpg");
    ASSERT_TRUE(WriteBytes(same, content));
    EXPECT_TRUE(Holds(table, same));

    Bytes late = content;
    late[60000] ^= 1;  // same size and head: same signature, other bytes
    const std::wstring lateDiffer = root_.File(L"late.jpg");
    ASSERT_TRUE(WriteBytes(lateDiffer, late));
    EXPECT_FALSE(Holds(table, lateDiffer));
    EXPECT_FALSE(Holds(table, root_.File(L"unreadable.jpg")));

    // Two identical inputs in one run: the first is copied and added, the second found.
    const std::wstring copy = MakeOutputFile(L"2024\\05\\late.jpg", late);
    Record(table, copy);
    EXPECT_TRUE(Holds(table, lateDiffer));

    // A recorded file that has since been deleted matches nothing.
    ASSERT_TRUE(DeleteFileW(copy.c_str()));
    EXPECT_FALSE(Holds(table, lateDiffer));
}

// The pass weighs each listed file against the copies of earlier ones (under way, then
// recorded) and the record's own files. Weighed ahead on the lookahead's threads, every file
// comes out the duplicate of the same file as weighed one at a time, and the weighing thread
// reads none of their bytes itself.
TEST_F(OutputRecordTest, VerdictsWeighedAheadAgreeWithTheTestsMadeOneAtATime)
{
    Bytes base(90000, 'b');
    auto variant = [&](int k, std::size_t at) {
        Bytes bytes = base;
        bytes[at] = static_cast<std::uint8_t>(k);
        return bytes;
    };
    // The record's own: a look-alike (one size, one head), a picture later found again, one
    // changed since it was recorded (its signature still the same), a look-alike deleted.
    std::vector<std::wstring> recorded = {MakeOutputFile(L"old\\look0.jpg", variant(0, 80000)),
                                          MakeOutputFile(L"old\\photo.jpg", variant(1, 100)),
                                          MakeOutputFile(L"old\\changed.jpg", variant(2, 100)),
                                          MakeOutputFile(L"old\\deleted.jpg", variant(3, 80000))};
    std::vector<std::uint64_t> recordedSignatures;
    for (const std::wstring& path : recorded)
        recordedSignatures.push_back(ComputeFileSignature(path));
    Bytes changed = variant(2, 100);
    changed[80000] = 9;
    ASSERT_TRUE(WriteBytes(recorded[2], changed));
    ASSERT_TRUE(DeleteFileW(recorded[3].c_str()));
    // The list: look-alikes (some twice), the recorded picture and the changed one's first
    // bytes again, the deleted look-alike, twins one after the other and far apart.
    const std::vector<Bytes> inputs = {
        variant(1, 80000), variant(2, 80000), variant(1, 80000), variant(0, 80000), variant(3, 80000),
        variant(1, 100),   variant(2, 100),   variant(3, 100),   variant(3, 100),   variant(4, 80000),
        variant(2, 80000), variant(5, 100),   variant(5, 80000), variant(5, 100),   variant(4, 80000),
    };
    std::vector<FileFacts> files;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        FileFacts facts;
        facts.path = root_.File(L"in" + std::to_wstring(i) + L".jpg");
        ASSERT_TRUE(WriteBytes(facts.path, inputs[i]));
        facts.signature = ComputeFileSignature(facts.path);
        files.push_back(facts);
    }
    // Each file as a run goes through it: copied when nothing matches, its copy under way
    // (named by its source) for the next file, recorded after that.
    auto weigh = [&](bool ahead, const std::wstring& folder) {
        OutputRecord table;
        for (std::size_t k = 0; k < recorded.size(); ++k)
            table.AddCopy(recorded[k], recorded[k], recordedSignatures[k]);
        std::optional<DuplicateLookahead> lookahead;
        if (ahead)
            lookahead.emplace(files, table, 2);
        CreateDirectoryW(folder.c_str(), nullptr);
        std::vector<std::wstring> found;
        const FileFacts* underWay = nullptr;
        std::wstring underWayCopy;
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::optional<DuplicateLookahead::Verdicts> known;
            if (lookahead)
                known = lookahead->Await(i);
            std::vector<const std::wstring*> alsoThere;
            if (underWay && underWay->signature == files[i].signature)
                alsoThere.push_back(&underWay->path);
            const std::wstring* match =
                table.FindDuplicate(files[i].path, files[i].signature, alsoThere, known ? &*known : nullptr);
            found.push_back(!match ? L"new" : match == &underWay->path ? underWayCopy : *match);
            if (underWay) {
                table.AddCopy(underWay->path, underWayCopy, underWay->signature);
                if (lookahead)
                    lookahead->NoteCopy(underWay->path, underWayCopy);
                underWay = nullptr;
            }
            if (!match) {
                underWay = &files[i];
                underWayCopy = folder + L"\\" + std::to_wstring(i) + L".jpg";
                EXPECT_TRUE(CopyFileW(files[i].path.c_str(), underWayCopy.c_str(), TRUE));
            }
            if (found.back().rfind(folder, 0) == 0)
                found.back() = L"OUT" + found.back().substr(folder.size());
        }
        return found;
    };
    const std::vector<std::wstring> oneAtATime = weigh(false, output_ + L"\\serial");
    const std::uint64_t before = t_threadReadBytes;
    const std::vector<std::wstring> ahead = weigh(true, output_ + L"\\ahead");
    EXPECT_EQ(t_threadReadBytes - before, 0u);
    EXPECT_EQ(ahead, oneAtATime);
    EXPECT_EQ(oneAtATime[2], L"OUT\\0.jpg");  // the look-alike twin of the first
    EXPECT_EQ(oneAtATime[3], recorded[0]);
    EXPECT_EQ(oneAtATime[4], L"new");  // the deleted one's
    EXPECT_EQ(oneAtATime[5], recorded[1]);
    EXPECT_EQ(oneAtATime[6], L"new");  // the changed one's old bytes
    EXPECT_EQ(oneAtATime[8], L"OUT\\7.jpg");
    EXPECT_EQ(oneAtATime[13], L"OUT\\11.jpg");
    EXPECT_EQ(oneAtATime[14], L"OUT\\9.jpg");
}

}  // namespace
