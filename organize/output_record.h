#pragma once
// The duplicate table of an output folder: every file known to be there with its content
// signature, kept between runs in the folder's record file "Sortavel.dat".

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "organize/content_matcher.h"
#include "organize/file_signature.h"
#include "organize/record_stream.h"

// What a load of the record found, named apart from a status: a record that is not there is
// no failure, and one that is there but cannot be read or is damaged is never an empty table
// (every file would be copied again, and the record then overwritten with this run alone).
struct [[nodiscard]] RecordLoad {
    enum Outcome {
        kLoaded,        // the table holds the record
        kNoRecordFile,  // none there: the table is empty, as in a folder never organized
        kDamaged,       // there, but no record this program wrote (cut short, zeros, foreign bytes)
        kFailed,        // there, but it could not be read (denied, locked, the disk's read failed)
    };
    Outcome outcome = kLoaded;
    StatusCode status = kStatusOk;  // kDamaged: OutputRecord::kRecordDamaged; kFailed: why
};

class OutputRecord {
public:
    static constexpr int kBucketCount = 512;  // keyed by the signature's low 9 bits
    static constexpr std::uint32_t kFileVersion = 0x00010000;
    static constexpr std::int32_t kTableFormat = 1;
    // The status of a damaged record, as the run reports it.
    static constexpr StatusCode kRecordDamaged = StatusFromWin32(ERROR_FILE_CORRUPT);

    class RecordedFile {
    public:
        RecordedFile() = default;
        RecordedFile(std::uint64_t signature, std::wstring path)
            : signature_(signature), path_(std::move(path))
        {
        }
        // Stored with its path relative to the record's folder. tableFormat: the record's
        // table format number, which the item's layout depends on. fullFolder: the full path
        // of the record's folder; a path that would lead out of it makes the stream fail.
        bool Write(RecordWriter& stream) const;
        bool Read(RecordReader& stream, std::int32_t tableFormat, const std::wstring& fullFolder);

        std::uint64_t Signature() const { return signature_; }
        const std::wstring& Path() const { return path_; }

    private:
        std::uint64_t signature_ = 0;
        std::wstring path_;  // absolute
    };

    // Makes the writer a save goes through; tests hand in one that fails.
    using WriterFactory = std::function<std::unique_ptr<RecordWriter>(HANDLE file, const std::wstring& folder)>;

    OutputRecord() = default;

    // Whether a byte-identical file is in the table, for a file whose signature is known
    // already; `alsoThere`: files of that signature that are not in the table yet but will be
    // (copies under way, by their sources), weighed with the table's own.
    // Returns the file that matched: a recorded file's path, or one of `alsoThere`; null when
    // none did. known: what was learnt of the input's bytes before (content_matcher.h).
    const std::wstring* FindDuplicate(const std::wstring& inputPath, std::uint64_t signature,
                                      const std::vector<const std::wstring*>& alsoThere = {},
                                      const KnownVerdicts* known = nullptr);
    // The paths of the recorded files of this signature that a duplicate test reads (those
    // in the record's folder), in the record's order. They stay where they are for the
    // table's life: entries are only ever added behind them.
    std::vector<const std::wstring*> RecordedWith(std::uint64_t signature);
    // The content hashes of the files looked at this run, shared with whoever weighs them.
    ContentMatcher& Matcher() { return matcher_; }
    // Records a finished copy of `source`: it has the source's signature (and hash, if known).
    void AddCopy(const std::wstring& source, const std::wstring& copy, std::uint64_t signature);

    RecordLoad Load(const std::wstring& recordPath);
    // The record written whole beside the old one and then put in its place, on the disk
    // before it names what the run copied; a failed save leaves the old record as it was.
    StatusCode Save(const std::wstring& recordPath);
    StatusCode SaveThrough(const std::wstring& recordPath, const WriterFactory& makeWriter);

    std::uint32_t Version() const { return version_; }
    std::int32_t OutputFormat() const { return outputFormat_; }
    void SetOutputFormat(std::int32_t format) { outputFormat_ = format; }
    int ItemCount() const;
    const std::deque<RecordedFile>& Bucket(int index) const { return buckets_[static_cast<std::size_t>(index)]; }

private:
    StatusCode ReadItems(RecordReader& stream);
    StatusCode WriteItems(RecordWriter& stream) const;
    void Append(RecordedFile item);
    // True when the recorded file still lies in the record's folder, no link on the way: a
    // date folder someone has since made a link to another place is not read through.
    bool LiesInRecordFolder(const std::wstring& path);

    std::uint32_t version_ = 0;
    std::int32_t outputFormat_ = -1;  // none until a record is read or the run sets it
    // In the record's order, by the signature's low bits, as the record file keeps them. A
    // deque, so that an entry never moves while the run adds others (RecordedWith).
    std::array<std::deque<RecordedFile>, kBucketCount> buckets_;
    // Each signature's entries by their place in its bucket: a bucket of a million-file
    // record holds thousands, which a lookup would otherwise go through one by one.
    std::unordered_multimap<std::uint64_t, std::uint32_t> bySignature_;
    ContentMatcher matcher_;  // the content of files looked at this run
    std::wstring folder_;       // the full path of the folder of the record loaded; empty before
    std::wstring folderFinal_;  // where it really lies, learned at the first comparison
    std::unordered_map<std::wstring, bool> ownFolders_;  // by folder: whether it lies in folder_
};
