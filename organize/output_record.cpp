#include "organize/output_record.h"

#include <algorithm>
#include <cwchar>

#include "base/file_identity.h"
#include "base/file_removal.h"
#include "base/handles.h"
#include "base/log_file.h"
#include "base/paths.h"
#include "base/whole_file.h"
#include "organize/date_folder_format.h"
#include "organize/organize_limits.h"
#include "organize/output_names.h"

namespace {

std::size_t BucketOf(std::uint64_t signature)
{
    return static_cast<std::size_t>(signature & (OutputRecord::kBucketCount - 1));
}

// The relative path from the record's folder to the file below it, as
// ".\2024\05\IMG_0001.JPG", at any length of the folder's own path; empty for a file that is
// not below the folder or whose path is past what an entry holds (neither is a copy the run
// made), so that no entry is one the record could not read back.
std::wstring RelativeToFolder(const std::wstring& folder, const std::wstring& path)
{
    const bool below = path.size() > folder.size() + 1 && path[folder.size()] == L'\\' &&
                       SamePathText(path.substr(0, folder.size()), folder);
    if (!below)
        return std::wstring();
    std::wstring relative = L".\\" + path.substr(folder.size() + 1);
    return relative.size() <= std::size_t{organize_limits::kMaxStoredPathChars} ? relative : std::wstring();
}

// A stored path stays inside the record's folder: it is relative, with no drive, no root, no
// stream or device name after a ":", and no ".." that climbs out. (The writer only ever
// stores ".\" and the path below it, or nothing.)
bool StaysInside(const std::wstring& relative)
{
    if (relative.empty())
        return true;
    if (relative.front() == L'\\' || relative.front() == L'/' || relative.find(L':') != std::wstring::npos)
        return false;
    std::size_t start = 0;
    while (start <= relative.size()) {
        const std::size_t end = std::min(relative.find_first_of(L"\\/", start), relative.size());
        if (relative.compare(start, end - start, L"..") == 0)
            return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

// --- items -----------------------------------------------------------------------------

bool OutputRecord::RecordedFile::Write(RecordWriter& stream) const
{
    const std::wstring relative = RelativeToFolder(stream.Folder(), path_);
    const auto length = static_cast<std::int32_t>(relative.size());
    static const wchar_t kTerminator = L'\0';
    return stream.WriteU64(signature_) && stream.WriteI32(length) &&
           stream.Write(relative.data(), relative.size() * sizeof(wchar_t)) &&
           stream.Write(&kTerminator, sizeof kTerminator);
}

bool OutputRecord::RecordedFile::Read(RecordReader& stream, std::int32_t /*tableFormat*/,
                                      const std::wstring& fullFolder)
{
    std::int32_t length = 0;
    if (!stream.ReadU64(&signature_) || !stream.ReadI32(&length))
        return false;
    if (length < 0 || length > organize_limits::kMaxStoredPathChars ||
        2 * (std::uint64_t(length) + 1) > stream.Remaining()) {
        stream.Reject();
        return false;
    }
    std::wstring relative(static_cast<std::size_t>(length) + 1, L'\0');
    if (!stream.Read(relative.data(), relative.size() * sizeof(wchar_t)))
        return false;
    relative.resize(wcsnlen(relative.c_str(), relative.size()));
    // A record whose entry names a file outside its folder is no record this program wrote:
    // such a file is never opened to be compared.
    if (!StaysInside(relative)) {
        stream.Reject();
        return false;
    }
    path_ = FullPathOf(stream.Folder() + L"\\" + relative);
    // Nor is one whose path the system reads as something else (a device name).
    const bool below = path_.size() > fullFolder.size() + 1 && path_[fullFolder.size()] == L'\\' &&
                       SamePathText(path_.substr(0, fullFolder.size()), fullFolder);
    if (!relative.empty() && !below) {
        stream.Reject();
        return false;
    }
    return true;
}

// --- the table ----------------------------------------------------------------------------

void OutputRecord::Append(RecordedFile item)
{
    std::deque<RecordedFile>& bucket = buckets_[BucketOf(item.Signature())];
    bySignature_.emplace(item.Signature(), static_cast<std::uint32_t>(bucket.size()));
    bucket.push_back(std::move(item));
}

void OutputRecord::AddCopy(const std::wstring& source, const std::wstring& copy, std::uint64_t signature)
{
    matcher_.NoteCopy(source, copy);
    Append(RecordedFile(signature, copy));
}

const std::wstring* OutputRecord::FindDuplicate(const std::wstring& inputPath, std::uint64_t signature,
                                                const std::vector<const std::wstring*>& alsoThere,
                                                const KnownVerdicts* known)
{
    std::vector<const std::wstring*> candidates = alsoThere;
    for (const std::wstring* recorded : RecordedWith(signature))
        candidates.push_back(recorded);
    return matcher_.Match(inputPath, candidates, known);
}

std::vector<const std::wstring*> OutputRecord::RecordedWith(std::uint64_t signature)
{
    std::vector<const std::wstring*> recorded;
    const std::deque<RecordedFile>& bucket = buckets_[BucketOf(signature)];
    for (auto [at, end] = bySignature_.equal_range(signature); at != end; ++at) {
        const std::wstring& path = bucket[at->second].Path();
        if (LiesInRecordFolder(path))
            recorded.push_back(&path);
    }
    return recorded;
}

bool OutputRecord::LiesInRecordFolder(const std::wstring& path)
{
    if (folder_.empty())
        return true;  // a table that was never loaded names only copies this run made
    const std::wstring folder = FolderOfPath(path);
    const auto [known, added] = ownFolders_.try_emplace(folder, false);
    if (!added)
        return known->second;
    const bool below = folder.size() > folder_.size() && folder[folder_.size()] == L'\\' &&
                       SamePathText(folder.substr(0, folder_.size()), folder_);
    if (!below) {
        known->second = SamePathText(folder, folder_);
        return known->second;
    }
    if (folderFinal_.empty())
        folderFinal_ = FinalFolderPathOf(folder_);
    const std::wstring final = FinalFolderPathOf(folder);
    // A folder that is gone holds nothing to read; one that lies elsewhere is a link's.
    known->second = final.empty() || SamePathText(final, folderFinal_ + folder.substr(folder_.size()));
    return known->second;
}

int OutputRecord::ItemCount() const
{
    std::size_t count = 0;
    for (const auto& bucket : buckets_)
        count += bucket.size();
    return static_cast<int>(count);
}

// --- the record file -------------------------------------------------------------------------

RecordLoad OutputRecord::Load(const std::wstring& recordPath)
{
    g_Log.Write(L"比較情報の読み込み。");
    // A save that was stopped half-way leaves its temporary file; the record beside it is
    // still the last whole one. One that cannot be removed now does no harm: the next save
    // makes its work file new all the same.
    (void)RemoveEntryIfThere(RecordSavingPathOf(recordPath));
    folder_ = WithoutTrailingBackslash(FullPathOf(FolderOfPath(recordPath) + L"\\"));
    // Shared for reading and writing, as the runtime's plain open is: a sync or backup
    // program that holds the record open does not lock us out.
    UniqueFile file(CreateFileW(ExtendedLengthPath(recordPath).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        // Only a record that is not there is no record. One that is there but cannot be
        // opened (denied, locked) is not an empty table: the run would copy everything again
        // and then overwrite the record with itself alone.
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            g_Log.Write(L"比較情報は存在しない。");
            return RecordLoad{RecordLoad::kNoRecordFile};
        }
        const StatusCode failed = error == 0 ? kStatusFail : StatusFromWin32(error);
        g_Log.Write(L"比較情報を開けません。 %s", HexStatus(failed).c_str());
        return RecordLoad{RecordLoad::kFailed, failed};
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        const StatusCode failed = StatusFromLastError();
        g_Log.Write(L"比較情報の読み込みに失敗しました。");
        return RecordLoad{RecordLoad::kFailed, failed};
    }
    // Larger than any record of kMaxRecordedFiles files: not read at all.
    if (size.QuadPart > organize_limits::kMaxRecordBytes) {
        g_Log.Write(L"比較情報が壊れています = %s", recordPath.c_str());
        return RecordLoad{RecordLoad::kDamaged, kRecordDamaged};
    }
    RecordReader stream(file.get(), static_cast<std::uint64_t>(size.QuadPart), FolderOfPath(recordPath));
    StatusCode result = kStatusOk;
    if (stream.ReadU32(&version_)) {
        g_Log.Write(L"バージョン         = 0x%08x", version_);
        // Every record this program has written says version 1 in its high half; zeros or
        // foreign bytes do not.
        if (version_ >> 16 != kFileVersion >> 16)
            stream.Reject();
        else if (stream.ReadI32(&outputFormat_)) {
            g_Log.Write(L"出力形式           = %d", outputFormat_);
            // A layout number from no layout (a hand edit, an old fault that stored -1)
            // is taken as the default layout, so that the check against another layout
            // stays on.
            outputFormat_ = NormalizedFormatIndex(outputFormat_);
            result = ReadItems(stream);
        }
    }
    if (result == kStatusOk)
        result = stream.Status();
    // A record ends with its last bucket: bytes after it mean it is not what it seems.
    if (result == kStatusOk && stream.Remaining() != 0)
        result = kRecordDamaged;
    // A short file and a value that cannot be right are damage; a failed read of the disk
    // keeps its own code.
    if (result == StatusFromWin32(ERROR_HANDLE_EOF) || result == StatusFromWin32(ERROR_INVALID_DATA))
        result = kRecordDamaged;
    if (result != kStatusOk) {
        g_Log.Write(L"比較情報の読み込みに失敗しました。");
        if (result != kRecordDamaged)
            return RecordLoad{RecordLoad::kFailed, result};
        g_Log.Write(L"比較情報が壊れています = %s", recordPath.c_str());
        return RecordLoad{RecordLoad::kDamaged, kRecordDamaged};
    }
    g_Log.Write(L"比較情報の数       = %d", ItemCount());
    return RecordLoad{RecordLoad::kLoaded};
}

StatusCode OutputRecord::ReadItems(RecordReader& stream)
{
    for (auto& bucket : buckets_)
        bucket.clear();
    bySignature_.clear();
    std::int32_t tableFormat = 0, bucketCount = 0;
    if (!stream.ReadI32(&tableFormat) || !stream.ReadI32(&bucketCount))
        return stream.Status();
    // Only table format 1 was ever written, and never without buckets. Each bucket record
    // holds at least its 4-byte count, each item at least 14 bytes.
    if (tableFormat != kTableFormat || bucketCount <= 0 || bucketCount > organize_limits::kMaxBucketCount ||
        std::uint64_t(bucketCount) * 4 > stream.Remaining()) {
        stream.Reject();
        return stream.Status();
    }
    const std::wstring fullFolder = WithoutTrailingBackslash(FullPathOf(stream.Folder() + L"\\"));
    std::int64_t total = 0;
    for (std::int32_t b = 0; b < bucketCount; ++b) {
        std::int32_t itemCount = 0;
        if (!stream.ReadI32(&itemCount))
            return stream.Status();
        total += itemCount;
        if (itemCount < 0 || std::uint64_t(itemCount) * 14 > stream.Remaining() || total > organize_limits::kMaxRecordedFiles) {
            stream.Reject();
            return stream.Status();
        }
        for (std::int32_t i = 0; i < itemCount; ++i) {
            RecordedFile item;
            if (!item.Read(stream, tableFormat, fullFolder))
                return stream.Status();
            // Filed by its signature, whatever bucket record it came from.
            Append(std::move(item));
        }
    }
    return stream.Status();
}

StatusCode OutputRecord::Save(const std::wstring& recordPath)
{
    return SaveThrough(recordPath, [](HANDLE file, const std::wstring& folder) {
        return std::make_unique<RecordWriter>(file, folder);
    });
}

StatusCode OutputRecord::SaveThrough(const std::wstring& recordPath, const WriterFactory& makeWriter)
{
    g_Log.Write(L"比較情報の保存。");
    // A record that cannot be replaced (read-only) is one that cannot be created: refused as
    // the system refuses a write to it.
    const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(recordPath).c_str());
    const bool replaceable = attributes == INVALID_FILE_ATTRIBUTES ||
                             !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    // The new record is written whole beside the old one and only then put in its place, so
    // that a failed save leaves the old record as it was. Both are on the disk before the
    // record names what the run copied.
    bool created = false;
    StatusCode result = StatusFromWin32(ERROR_ACCESS_DENIED);
    if (replaceable) {
        result = ReplaceFileWhole(recordPath, RecordSavingSuffix(), Durability::kOnDisk, [&](HANDLE file) {
            created = true;
            std::unique_ptr<RecordWriter> stream = makeWriter(file, FolderOfPath(recordPath));
            if (stream->WriteU32(kFileVersion))
                g_Log.Write(L"バージョン         = 0x%08x", kFileVersion);
            if (stream->WriteI32(outputFormat_))
                g_Log.Write(L"出力形式           = %d", outputFormat_);
            StatusCode written = WriteItems(*stream);
            if (written == kStatusOk && !stream->Finish())
                written = stream->Status();
            return written;
        });
    }
    if (!created) {
        g_Log.Write(L"比較情報のオープンに失敗しました。");
        return result;
    }
    if (result != kStatusOk)
        g_Log.Write(L"比較情報の保存に失敗しました。");
    g_Log.Write(L"比較情報の数       = %d", ItemCount());
    return result;
}

StatusCode OutputRecord::WriteItems(RecordWriter& stream) const
{
    if (!stream.WriteI32(kTableFormat) || !stream.WriteI32(kBucketCount))
        return stream.Status();
    for (const auto& bucket : buckets_) {
        if (!stream.WriteI32(static_cast<std::int32_t>(bucket.size())))
            return stream.Status();
        for (const RecordedFile& item : bucket) {
            if (!item.Write(stream))
                return stream.Status();
        }
    }
    return stream.Status();
}
