#pragma once
// The expensive half of the duplicate tests worked out ahead of the copying pass, on threads
// of its own, while the copies go on. A listed file can only be a duplicate of a recorded file
// of its signature or of an earlier listed file of its signature (whose copy the pass makes
// first): those are compared with it in list order, as the pass would (one candidate byte by
// byte, several by their hashes first, each file hashed once a run), and the pass then finds
// the verdicts ready. Bytes are always compared before a file is called the same as another.
// What the lookahead could not learn (a file it could not read, a candidate it did not
// weigh) is left to the pass, which weighs it as it always has.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "organize/content_matcher.h"
#include "organize/file_facts.h"
#include "organize/output_record.h"

class DuplicateLookahead {
public:
    // files: the run's list, which must outlive the lookahead; record: the output folder's
    // record, whose own entries (as they are now) are the recorded candidates and whose
    // content hashes are shared. threads: at least 1. The lookahead starts at once.
    DuplicateLookahead(const std::vector<FileFacts>& files, OutputRecord& record, int threads);
    // Stops the threads once the tests they are on are done.
    ~DuplicateLookahead();
    DuplicateLookahead(const DuplicateLookahead&) = delete;
    DuplicateLookahead& operator=(const DuplicateLookahead&) = delete;

    class Verdicts;
    // What was learnt of files[index] against its candidates, waiting until it is; empty for
    // a file that no candidate can match (there is none) or that the lookahead leaves alone.
    // Only the pass's thread asks, and it asks in list order.
    std::optional<Verdicts> Await(std::size_t index);
    // The run made `copy` of the listed file at `source`: the copy is weighed as its source.
    void NoteCopy(const std::wstring& source, const std::wstring& copy);

private:
    // The listed files and the recorded files of one signature: slices of the flat lists.
    struct Group {
        std::uint32_t listedBegin = 0, listedEnd = 0;      // in listed_: indices, ascending
        std::uint32_t recordedBegin = 0, recordedEnd = 0;  // in recorded_ and recordedByAddress_
    };
    // A verdict that is not simply "different": the candidates with the file's bytes, and
    // those whose bytes were not learnt.
    struct Mark {
        enum Kind : std::uint8_t { kSameListed, kUnknownListed, kSameRecorded, kUnknownRecorded };
        Kind kind;
        std::uint32_t at;  // a listed index, or a place in recorded_
    };
    struct Job {
        std::uint32_t file = 0;
        std::uint32_t group = 0;
        enum State : std::uint8_t { kWaiting, kRunning, kDone } state = kWaiting;
        // The recorded candidates weighed (in the record's order, up to the first with the
        // file's bytes), and whether the earlier listed ones were; all but those marked
        // unknown. Neither when the file itself could not be read.
        std::uint32_t recordedKnownEnd = 0;
        bool listedKnown = false;
        std::vector<Mark> marks;
        bool duplicate = false;  // the same as a candidate: never copied itself
    };

    void Work();
    // Weighs the file of `job` against its candidates, into job's verdicts.
    void Weigh(Job& job, CompareBuffers& buffers);
    void WeighOrLeave(Job& job, CompareBuffers& buffers);
    std::optional<bool> SameListed(const Job& job, std::uint32_t listed) const;
    const Job* JobOf(std::uint32_t file) const;
    std::optional<std::uint32_t> ListedIndexOf(const std::wstring& path) const;

    const std::vector<FileFacts>& files_;
    ContentMatcher& matcher_;
    std::vector<std::uint32_t> listed_;
    std::vector<const std::wstring*> recorded_;  // each group's in the record's order
    // The same, by address, with their places in recorded_: the pass's candidate is found
    // among them at once.
    std::vector<std::pair<const std::wstring*, std::uint32_t>> recordedByAddress_;
    std::vector<Group> groups_;
    std::vector<Job> jobs_;  // in list order
    // Listed files that are candidates of later ones, by path; and the copies the run made
    // of them.
    std::unordered_map<std::wstring_view, std::uint32_t> listedIndex_;
    std::unordered_map<std::wstring, std::uint32_t> copySource_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;  // the first job no thread has taken
    bool ending_ = false;
    std::vector<std::thread> threads_;

public:
    // The verdicts of one file, as the candidates the pass weighs it against see them.
    class Verdicts : public KnownVerdicts {
    public:
        Verdicts(const DuplicateLookahead& owner, const Job& job) : owner_(&owner), job_(&job) {}
        std::optional<bool> SameBytes(const std::wstring* candidate) const override;

    private:
        const DuplicateLookahead* owner_;
        const Job* job_;
    };
};
