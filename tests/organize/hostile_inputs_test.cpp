// What bad luck brings to a run: damaged pictures, link loops, files and folders that cannot
// be read, records that are no records, inputs that are no folders, an output folder reached
// by another way or too deep. Each is answered clearly; nothing hangs, nothing is silently
// left out, and no input is changed.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "base/handles.h"
#include "base/path_text.h"
#include "base/read_counters.h"
#include "organize/output_record.h"
#include "organize/file_facts.h"
#include "organize/organize_run.h"
#include "organize/organize_settings.h"
#include "organize/output_names.h"
#include "organize/run_checks.h"
#include "tests/organize/organize_fixture.h"
#include "tests/support/host_files.h"
#include "tests/support/test_files.h"

namespace {

class HostileInputsTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        settings_ = g_OrganizeSettings;
    }
    OrganizeResult RunCard()
    {
        RecordingProgress progress;
        return RunOrganize(settings_, progress, {root_.File(L"card")}, output_);
    }
    RunVerdict Check(std::vector<std::wstring> inputs, const std::wstring& output)
    {
        RunChoices choices;
        choices.inputFolders = std::move(inputs);
        choices.outputText = output;
        return CheckRun(choices, &prepared_);
    }
    std::wstring VerdictText(const RunVerdict& verdict) const { return RunVerdictText(verdict, prepared_); }
    bool Exists(const std::wstring& path) const { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    OrganizeSettings settings_;
    PreparedRun prepared_;
};

// A JPEG head followed by what erased flash reads as.
Bytes JpegOfFillBytes(size_t bodyBytes)
{
    Bytes bytes = {0xFF, 0xD8};
    bytes.resize(2 + bodyBytes, 0xFF);
    return bytes;
}

TEST_F(HostileInputsTest, AJpegOfFillBytesIsDatedFromAFewBlockReads)
{
    for (const size_t body : {size_t{200} << 10, size_t{10} << 20}) {
        const std::wstring path = MakeFile(root_.File(L"card\\ERASED.JPG"), JpegOfFillBytes(body));
        g_ReadCounters.Clear();
        FileFacts facts;
        ASSERT_TRUE(GatherFileFacts(path, nullptr, &facts)) << body;
        EXPECT_EQ(facts.source, CaptureDateSource::kLastWrite) << body;
        // A byte-by-byte walk would make hundreds of thousands of reads.
        EXPECT_LE(g_ReadCounters.reads.load(), 3u) << body;
        EXPECT_LE(g_ReadCounters.bytes.load(), 192u << 10) << body;
    }
    // A few fill bytes before a marker are allowed, and the Exif date behind them is found.
    Bytes padded = JpegWithDates("2021:03:04 05:06:07");
    padded.insert(padded.begin() + 2, 40, 0xFF);
    FileFacts facts;
    ASSERT_TRUE(GatherFileFacts(MakeFile(root_.File(L"card\\PADDED.JPG"), padded), nullptr, &facts));
    EXPECT_EQ(facts.source, CaptureDateSource::kExif);
    EXPECT_EQ(facts.date.wYear, 2021);

    const OrganizeResult result = RunCard();
    ASSERT_FALSE(result.Failed());
    EXPECT_EQ(result.counts.copied, 2);
    EXPECT_TRUE(Exists(output_ + L"\\2021\\03\\04\\PADDED.JPG"));
}

// Links that lead back up the tree or out of it: each file is listed once, the walk ends,
// nothing outside the input is organized, and the log says why a link was passed by.
TEST_F(HostileInputsTest, LinksAreNeverFollowedBelowAnInput)
{
    Photo(L"card\\sub\\IMG_0001.JPG", "2024:05:01 09:00:00", 'a');
    ASSERT_TRUE(MakeHostLink(root_.File(L"card\\sub\\loop"), L".."));
    // Three folders that lead round to one another.
    for (const wchar_t* name : {L"a", L"b", L"c"})
        Photo(std::wstring(L"card\\") + name + L"\\IMG_" + name + L".JPG", "2024:05:02 09:00:00", name[0]);
    ASSERT_TRUE(MakeHostLink(root_.File(L"card\\a\\toB"), root_.File(L"card\\b")));
    ASSERT_TRUE(MakeHostLink(root_.File(L"card\\b\\toC"), root_.File(L"card\\c")));
    ASSERT_TRUE(MakeHostLink(root_.File(L"card\\c\\toA"), root_.File(L"card\\a")));
    // A folder outside the card is not the card's: the user names it as an input of its own.
    Photo(L"elsewhere\\IMG_0009.JPG", "2024:05:03 09:00:00", 'e');
    ASSERT_TRUE(MakeHostLink(root_.File(L"card\\toElsewhere"), root_.File(L"elsewhere")));

    const OrganizeResult result = RunCard();
    ASSERT_FALSE(result.Failed());
    EXPECT_EQ(result.counts.inputFiles, 4);
    EXPECT_EQ(result.counts.copied, 4);
    EXPECT_EQ(result.counts.duplicates, 0);
    EXPECT_FALSE(FileExists(output_ + L"\\2024\\05\\03\\IMG_0009.JPG"));
    const std::wstring log = Log();
    for (const wchar_t* link : {L"card\\sub\\loop", L"card\\a\\toB", L"card\\toElsewhere"})
        EXPECT_NE(log.find(L"リンクの先は整理しません = " + root_.File(link)), std::wstring::npos) << log;
}

// A date folder, or a folder on the way to one, that someone made a link to another place is
// neither written nor read through: its files are named as not organized and the rest go on,
// though the record names a copy there. A link to a file inside an input is never read,
// though the listing of the platform under our tests shows it as a plain file.
TEST_F(HostileInputsTest, LinksInTheOutputAreNeverWrittenOrReadThroughNorFileLinksReadInAnInput)
{
    Photo(L"card\\IMG_0001.JPG", "2020:01:15 09:00:00", 'j');
    Photo(L"card\\IMG_0002.JPG", "2020:02:15 09:00:00", 'f');
    ASSERT_FALSE(RunCard().Failed());
    // The January folder moved elsewhere and a link left in its place; a new year's folder
    // made a link too.
    const std::wstring elsewhere = root_.File(L"elsewhere");
    ASSERT_TRUE(MoveFileW((output_ + L"\\2020\\01").c_str(), elsewhere.c_str()));
    ASSERT_TRUE(MakeHostLink(output_ + L"\\2020\\01", elsewhere));
    ASSERT_TRUE(MakeHostLink(output_ + L"\\2021", elsewhere));
    const auto before = FolderSnapshot(elsewhere);
    Photo(L"card\\IMG_0003.JPG", "2021:03:04 09:00:00", 'm');
    const std::wstring secret = Photo(L"private\\IMG_0009.JPG", "2020:02:16 09:00:00", 's');
    ASSERT_TRUE(MakeHostLink(root_.File(L"card\\IMG_0004.JPG"), secret));

    const OrganizeResult result = RunCard();
    ASSERT_FALSE(result.Failed()) << RunFailureText(result);
    EXPECT_EQ(result.counts.inputFiles, 3);
    EXPECT_EQ(result.counts.duplicates, 1);  // February's, not January's behind the link
    EXPECT_EQ(result.counts.copied, 0);
    EXPECT_EQ(result.counts.notOrganized, 2);
    for (const FileFailure& failure : result.fileFailures)
        EXPECT_EQ(failure.reason, FileFailureReason::kLinkedFolder) << failure.source;
    EXPECT_EQ(FolderSnapshot(elsewhere), before);
    EXPECT_FALSE(Exists(output_ + L"\\2020\\02\\16\\IMG_0004.JPG"));
    const std::wstring log = Log();
    EXPECT_NE(log.find(L"リンクの先は整理しません = " + root_.File(L"card\\IMG_0004.JPG")), std::wstring::npos) << log;
    EXPECT_NE(log.find(FileFailureReasonText(FileFailureReason::kLinkedFolder)), std::wstring::npos) << log;

    // The links gone, the next run organizes what they held back, in the output folder.
    ASSERT_TRUE(RemoveHostLink(output_ + L"\\2020\\01"));
    ASSERT_TRUE(RemoveHostLink(output_ + L"\\2021"));
    const OrganizeResult later = RunCard();
    EXPECT_EQ(later.counts.copied, 2);
    EXPECT_EQ(later.counts.notOrganized, 0);
    EXPECT_TRUE(Exists(output_ + L"\\2020\\01\\15\\IMG_0001.JPG"));
    EXPECT_TRUE(Exists(output_ + L"\\2021\\03\\04\\IMG_0003.JPG"));
    EXPECT_EQ(FolderSnapshot(elsewhere), before);
    RemoveHostLink(root_.File(L"card\\IMG_0004.JPG"));
}

// Names a card written by another system may hold: a device's name is never opened and is
// named in the log; a name that ends in a dot or a space is copied under the name this system
// can hold, its extension taken without them.
TEST_F(HostileInputsTest, NamesFromAnotherSystemAreCopiedUnderAWindowsNameOrNamed)
{
    Photo(L"card\\IMG_0001.JPG", "2024:05:01 09:00:00", 'a');
    const std::wstring card = root_.File(L"card");
    const HostNamedFile dotted(card, "IMG_1.JPG.", "dotted"), spaced(card, "space.jpg ", "spaced");
    const HostNamedFile com(card, "COM1.jpg", "com"), nul(card, "nul.JPG", "nul"), aux(card, "Aux .jpg", "aux");
    ASSERT_TRUE(dotted.Made() && spaced.Made() && com.Made() && nul.Made() && aux.Made());

    const OrganizeResult result = RunCard();
    ASSERT_FALSE(result.Failed()) << RunFailureText(result);
    EXPECT_EQ(result.counts.copied, 3);
    EXPECT_EQ(result.counts.unreadable, 3);
    std::map<std::wstring, std::string> copied;
    for (const auto& [path, bytes] : FolderSnapshot(output_))
        copied[NameOfPath(path)] = std::string(bytes.begin(), bytes.end());
    EXPECT_EQ(copied[L"IMG_1.JPG"], "dotted");
    EXPECT_EQ(copied[L"space.jpg"], "spaced");
    EXPECT_EQ(copied.count(L"COM1.jpg") + copied.count(L"nul.JPG"), 0u);
    const std::wstring log = Log();
    for (const wchar_t* name : {L"COM1.jpg", L"nul.JPG", L"Aux .jpg"})
        EXPECT_NE(log.find(L"Windows がデバイスに使う名前のため整理できません = " + card + L"\\" + name),
                  std::wstring::npos) << name;
}

TEST_F(HostileInputsTest, FilesAndFoldersThatCannotBeReadAreCountedAndNamed)
{
    Photo(L"card\\IMG_0001.JPG", "2024:05:01 09:00:00", 'a');
    const std::wstring lockedFile = Photo(L"card\\IMG_0002.JPG", "2024:05:01 09:00:00", 'b');
    Photo(L"card\\locked\\IMG_0003.JPG", "2024:05:01 09:00:00", 'c');
    const std::wstring lockedFolder = root_.File(L"card\\locked");
    // A name a Linux share may hold and Windows cannot open.
    const HostNamedFile unspellable(root_.File(L"card"), "q:uest?.jpg");
    ASSERT_TRUE(unspellable.Made());
    // Another program holds them open, sharing nothing.
    UniqueFile holdFile(CreateFileW(lockedFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    UniqueFile holdFolder(CreateFileW(lockedFolder.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(holdFile && holdFolder);

    const OrganizeResult result = RunCard();
    ASSERT_FALSE(result.Failed()) << RunFailureText(result);
    EXPECT_EQ(result.counts.copied, 1);
    EXPECT_EQ(result.counts.unreadable, 3);
    EXPECT_TRUE(result.counts.LeftOut());
    EXPECT_NE(LeftOutText(result.counts).find(L"読み込めなかったため、3 個のフォルダまたはファイルを整理できませんでした。"),
              std::wstring::npos);
    const std::wstring log = Log();
    EXPECT_NE(log.find(L"ファイルを読み込めません = " + lockedFile), std::wstring::npos) << log;
    EXPECT_NE(log.find(L"フォルダを読み込めません = " + lockedFolder), std::wstring::npos) << log;
    EXPECT_NE(log.find(L"ファイルを読み込めません = " + root_.File(L"card\\q")), std::wstring::npos) << log;

    // Once they can be read, the next run takes them and nothing else.
    holdFile.reset();
    holdFolder.reset();
    const OrganizeResult later = RunCard();
    EXPECT_EQ(later.counts.copied, 2);
    EXPECT_EQ(later.counts.duplicates, 1);
    EXPECT_EQ(later.counts.unreadable, 1);  // the unspellable name stays unreadable
}

// What a record file can be when it is no record: the run never takes it as empty.
std::vector<Bytes> DamagedRecords()
{
    Bytes header = {0x00, 0x00, 0x01, 0x00, 0x03, 0x00, 0x00, 0x00};
    Bytes zeroBuckets = header;
    const Bytes tableOfNoBuckets = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    zeroBuckets.insert(zeroBuckets.end(), tableOfNoBuckets.begin(), tableOfNoBuckets.end());
    Bytes headerThenZeros = header;
    headerThenZeros.resize(header.size() + 4096, 0);
    Bytes random(3000);
    std::uint32_t state = 12345;
    for (auto& byte : random) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return {Bytes{}, Bytes{0x00}, Bytes(4096, 0), headerThenZeros, zeroBuckets, random};
}

TEST_F(HostileInputsTest, ARecordThatIsNoRecordStopsTheRunBeforeAnyCopy)
{
    Photo(L"card\\IMG_0001.JPG", "2024:05:01 09:00:00");
    CreateDirectoryW(output_.c_str(), nullptr);
    const std::wstring record = RecordPathOf(output_);
    std::vector<Bytes> damaged = DamagedRecords();
    for (size_t k = 0; k < damaged.size(); ++k) {
        ASSERT_TRUE(WriteBytes(record, damaged[k]));
        OutputRecord table;
        EXPECT_EQ(table.Load(record).outcome, RecordLoad::kDamaged) << k;

        const RunVerdict verdict = Check({root_.File(L"card")}, output_);
        EXPECT_EQ(verdict.kind, RunVerdict::kRecordDamaged) << k;
        const std::wstring text = VerdictText(verdict);
        EXPECT_EQ(text.rfind(L"出力先フォルダの比較情報(Sortavel.dat)が壊れているため", 0), 0u) << text;
        EXPECT_NE(text.find(L"【ファイル】" + record), std::wstring::npos) << text;

        // Reached all the same (another program's record appeared after the check).
        const OrganizeResult result = RunCard();
        EXPECT_EQ(result.failedStage, OrganizeResult::kRecordLoad) << k;
        EXPECT_EQ(RunFailureText(result), text);
        EXPECT_FALSE(Exists(output_ + L"\\2024")) << k;
        EXPECT_EQ(ReadBytes(record), damaged[k]) << k;
    }

    // 100 MB of zeros is refused as quickly as 4 KB of them.
    {
        UniqueFile file(CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        LARGE_INTEGER size{};
        size.QuadPart = 100ll << 20;
        ASSERT_TRUE(SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
    }
    OutputRecord table;
    EXPECT_EQ(table.Load(record).outcome, RecordLoad::kDamaged);
    EXPECT_NE(Log().find(L"比較情報が壊れています = " + record), std::wstring::npos);
}

TEST_F(HostileInputsTest, InputsThatAreNoFoldersAreRefusedByName)
{
    const std::wstring good = root_.File(L"card"), missing = root_.File(L"no card"),
                       file = MakeFile(root_.File(L"a file.jpg"));
    CreateDirectoryW(good.c_str(), nullptr);
    struct Case {
        std::vector<std::wstring> inputs;
        size_t index;
        std::wstring named;
    } cases[] = {{{missing}, 0, missing}, {{good, missing + L"\\"}, 1, missing}, {{file}, 0, file}};
    for (const Case& each : cases) {
        const RunVerdict verdict = Check(each.inputs, output_);
        EXPECT_EQ(verdict.kind, RunVerdict::kInputMissing) << each.named;
        EXPECT_EQ(verdict.inputIndex, each.index);
        EXPECT_EQ(VerdictText(verdict), L"入力フォルダが見つからないか、フォルダではありません。入力フォルダを確認してください。"
                                        L"\r\n【入力】" + each.named);
    }
    EXPECT_FALSE(Exists(output_));  // nothing written: no folder, no record
    EXPECT_EQ(Check({good}, output_).kind, RunVerdict::kGo);

    // A card pulled out after the check: its folder is counted as unreadable, never as empty.
    RecordingProgress progress;
    const OrganizeResult result = RunOrganize(settings_, progress, {missing}, output_);
    EXPECT_EQ(result.counts.unreadable, 1);
}

TEST_F(HostileInputsTest, AnOutputInsideAnInputIsFoundHoweverItIsWritten)
{
    const std::wstring in = root_.File(L"in");
    Photo(L"in\\IMG_0001.JPG", "2024:05:01 09:00:00");
    std::wstring slashes = in + L"\\out";
    for (wchar_t& c : slashes)
        c = c == L'\\' ? L'/' : c;
    ASSERT_TRUE(MakeHostLink(root_.File(L"link to in"), in));
    const std::wstring written[] = {slashes, root_.File(L"other\\..\\in\\out"), root_.File(L"LINK TO IN\\out"),
                                    root_.File(L"link to in\\deeper\\out")};
    for (const std::wstring& output : written) {
        const RunVerdict verdict = Check({in}, output);
        EXPECT_EQ(verdict.kind, RunVerdict::kOutputInsideInput) << output;
    }
    // The input reached through the link, the output written plainly.
    EXPECT_EQ(Check({root_.File(L"link to in")}, in + L"\\out").kind, RunVerdict::kOutputInsideInput);
    // A neighbour whose name starts the same is no part of the input.
    EXPECT_EQ(Check({in}, root_.File(L"in2\\out")).kind, RunVerdict::kGo);
}

TEST_F(HostileInputsTest, AnOutputPathTooLongForARunIsRefusedBeforeAnyWrite)
{
    CreateDirectoryW(root_.File(L"card").c_str(), nullptr);
    // No photo's path could be named below it.
    const std::wstring deep = root_.Path() + L"\\" + std::wstring(32600, L'd');
    RunVerdict verdict = Check({root_.File(L"card")}, deep);
    EXPECT_EQ(verdict.kind, RunVerdict::kOutputTooLong);
    EXPECT_EQ(VerdictText(verdict),
              L"出力先フォルダのパスが長すぎます。もっと短いパスのフォルダを指定してください。\r\n【出力】" + deep);
    EXPECT_FALSE(Exists(deep));
    // Room for the record's temporary file and a dated photo of the longest name is enough,
    // far past the 260 characters of a path's plain form.
    const std::wstring roomy = deep.substr(0, 32000);
    EXPECT_EQ(Check({root_.File(L"card")}, roomy).kind, RunVerdict::kGo);
}

}  // namespace
