#include "organize/duplicate_lookahead.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <utility>

namespace {

// Verdicts of one kind a file may leave to the pass before the pass weighs all of that kind.
constexpr std::ptrdiff_t kMostUnknown = 16;

}  // namespace

DuplicateLookahead::DuplicateLookahead(const std::vector<FileFacts>& files, OutputRecord& record, int threads)
    : files_(files), matcher_(record.Matcher())
{
    // The listed files by signature, each signature's in list order. A file that could not
    // be read has no signature of its own, and is left to the pass.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> bySignature;
    bySignature.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].signature != kUnreadableSignature)
            bySignature.emplace_back(files[i].signature, static_cast<std::uint32_t>(i));
    }
    std::sort(bySignature.begin(), bySignature.end());
    for (std::size_t first = 0, end = 0; first < bySignature.size(); first = end) {
        const std::uint64_t signature = bySignature[first].first;
        end = first + 1;
        while (end < bySignature.size() && bySignature[end].first == signature)
            ++end;
        std::vector<const std::wstring*> recorded = record.RecordedWith(signature);
        if (end - first == 1 && recorded.empty())
            continue;  // nothing to be the same as
        Group group;
        group.listedBegin = static_cast<std::uint32_t>(listed_.size());
        for (std::size_t k = first; k < end; ++k) {
            listed_.push_back(bySignature[k].second);
            if (end - first > 1)
                listedIndex_.try_emplace(files[bySignature[k].second].path, bySignature[k].second);
        }
        group.listedEnd = static_cast<std::uint32_t>(listed_.size());
        group.recordedBegin = static_cast<std::uint32_t>(recorded_.size());
        for (const std::wstring* path : recorded) {
            recordedByAddress_.emplace_back(path, static_cast<std::uint32_t>(recorded_.size()));
            recorded_.push_back(path);
        }
        group.recordedEnd = static_cast<std::uint32_t>(recorded_.size());
        std::sort(recordedByAddress_.begin() + group.recordedBegin, recordedByAddress_.end(),
                  [](const auto& a, const auto& b) { return std::less<const std::wstring*>()(a.first, b.first); });
        const auto groupIndex = static_cast<std::uint32_t>(groups_.size());
        groups_.push_back(group);
        for (std::size_t k = recorded.empty() ? first + 1 : first; k < end; ++k) {
            Job job;
            job.file = bySignature[k].second;
            job.group = groupIndex;
            jobs_.push_back(std::move(job));
        }
    }
    std::sort(jobs_.begin(), jobs_.end(), [](const Job& a, const Job& b) { return a.file < b.file; });
    if (jobs_.empty())
        return;
    for (int i = 0; i < std::max(threads, 1); ++i) {
        try {
            threads_.emplace_back([this] { Work(); });
        } catch (const std::exception&) {
            break;  // those started take every job; with none, the pass weighs each itself
        }
    }
}

DuplicateLookahead::~DuplicateLookahead()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void DuplicateLookahead::Work()
{
    CompareBuffers buffers;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        while (next_ < jobs_.size() && jobs_[next_].state != Job::kWaiting)
            ++next_;
        if (ending_ || next_ == jobs_.size())
            return;
        Job& job = jobs_[next_++];
        job.state = Job::kRunning;
        lock.unlock();
        WeighOrLeave(job, buffers);
        lock.lock();
        job.state = Job::kDone;
        changed_.notify_all();
    }
}

std::optional<DuplicateLookahead::Verdicts> DuplicateLookahead::Await(std::size_t index)
{
    const auto at = std::lower_bound(jobs_.begin(), jobs_.end(), index,
                                     [](const Job& job, std::size_t file) { return job.file < file; });
    if (at == jobs_.end() || at->file != index)
        return std::nullopt;
    Job& job = *at;
    std::unique_lock<std::mutex> lock(mutex_);
    if (job.state == Job::kWaiting && threads_.empty()) {
        // Without threads of its own, the lookahead is only the pass weighing each file.
        job.state = Job::kRunning;
        lock.unlock();
        CompareBuffers buffers;
        WeighOrLeave(job, buffers);
        lock.lock();
        job.state = Job::kDone;
    }
    // Threads take the jobs in list order, and the pass asks in list order: a job not taken
    // yet is taken next.
    changed_.wait(lock, [&job] { return job.state == Job::kDone; });
    return Verdicts(*this, job);
}

void DuplicateLookahead::NoteCopy(const std::wstring& source, const std::wstring& copy)
{
    if (const std::optional<std::uint32_t> index = ListedIndexOf(source))
        copySource_.try_emplace(copy, *index);
}

std::optional<std::uint32_t> DuplicateLookahead::ListedIndexOf(const std::wstring& path) const
{
    const auto at = listedIndex_.find(path);
    return at == listedIndex_.end() ? std::nullopt : std::optional<std::uint32_t>(at->second);
}

void DuplicateLookahead::WeighOrLeave(Job& job, CompareBuffers& buffers)
{
    try {
        Weigh(job, buffers);
    } catch (const std::exception&) {
        // Memory ran short: nothing is known of this file, and the pass weighs it itself.
        job.recordedKnownEnd = 0;
        job.listedKnown = false;
        job.marks.clear();
    }
}

const DuplicateLookahead::Job* DuplicateLookahead::JobOf(std::uint32_t file) const
{
    const auto at = std::lower_bound(jobs_.begin(), jobs_.end(), file,
                                     [](const Job& job, std::uint32_t index) { return job.file < index; });
    return at != jobs_.end() && at->file == file ? &*at : nullptr;
}

void DuplicateLookahead::Weigh(Job& job, CompareBuffers& buffers)
{
    const std::wstring& path = files_[job.file].path;
    const Group& group = groups_[job.group];
    // The earlier listed files of this signature that may become candidates. One the
    // lookahead has found to be a duplicate itself is never copied (its twin is, and is
    // weighed instead); should it be a candidate all the same, the pass weighs it.
    std::vector<std::uint32_t> listed;
    std::vector<Mark> marks;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (std::uint32_t k = group.listedBegin; k < group.listedEnd && listed_[k] < job.file; ++k) {
            const std::uint32_t other = listed_[k];
            const Job* earlier = JobOf(other);
            if (!earlier || earlier->state != Job::kDone || !earlier->duplicate)
                listed.push_back(other);
        }
    }
    const std::size_t weighed = (group.recordedEnd - group.recordedBegin) + listed.size();
    if (weighed == 0) {
        job.recordedKnownEnd = group.recordedEnd;
        job.listedKnown = true;
        return;
    }
    const std::wstring& lone = weighed == 1 && listed.empty() ? *recorded_[group.recordedBegin]
                               : weighed == 1                 ? files_[listed.front()].path
                                                              : path;
    // As the pass would: a lone candidate byte by byte, unless hashes are had already.
    const bool byBytes = weighed == 1 && !matcher_.IsHashed(path) && !matcher_.IsHashed(lone);
    if (!byBytes && !matcher_.Hashable(path, buffers, false))
        return;  // nothing learnt: the pass reads the file itself
    auto same = [&](const std::wstring& other) -> std::optional<bool> {
        if (!byBytes) {
            const std::optional<bool> agree = matcher_.HashesAgree(path, other, buffers, false);
            if (!agree || !*agree)
                return agree;
        }
        switch (CompareContents(path, other, buffers)) {
        case ContentComparison::kSame:
            return true;
        case ContentComparison::kDifferent:
            return false;
        case ContentComparison::kUnreadable:
            break;
        }
        return std::nullopt;
    };
    // Recorded files first, in the record's order (the pass's), up to the first that holds
    // these bytes: that is what every earlier twin in the list was found to be, so those are
    // not weighed at all, and the pass takes it before any recorded file after it.
    bool recordedSame = false;
    std::uint32_t k = group.recordedBegin;
    for (; k < group.recordedEnd && !recordedSame; ++k) {
        // A recorded file that cannot be read now may be there when the pass comes to it.
        const std::optional<bool> verdict = same(*recorded_[k]);
        if (!verdict)
            marks.push_back(Mark{Mark::kUnknownRecorded, k});
        else if (*verdict)
            marks.push_back(Mark{Mark::kSameRecorded, k});
        recordedSame = verdict.value_or(false);
    }
    job.recordedKnownEnd = k;
    // Then the earlier listed files in list order, up to the first with these bytes: the
    // first of a set of twins is the one copied. Past it (or past a recorded twin) only
    // hashes are compared: a later twin is a duplicate itself, never a candidate, and is left
    // to the pass should it be one all the same.
    job.listedKnown = true;
    bool twinFound = recordedSame;
    for (const std::uint32_t other : listed) {
        if (twinFound) {
            const std::optional<bool> agree =
                byBytes ? std::nullopt : matcher_.HashesAgree(path, files_[other].path, buffers, false);
            if (agree != false)
                marks.push_back(Mark{Mark::kUnknownListed, other});
            continue;
        }
        const std::optional<bool> verdict = same(files_[other].path);
        if (!verdict) {
            marks.push_back(Mark{Mark::kUnknownListed, other});
        } else if (*verdict) {
            marks.push_back(Mark{Mark::kSameListed, other});
            twinFound = true;
        }
    }
    // Verdicts left to the pass are few (files that could not be read); past a handful, the
    // pass weighs that kind itself, and memory stays bounded however many look-alikes meet.
    const auto count = [&marks](Mark::Kind kind) {
        return std::count_if(marks.begin(), marks.end(), [kind](const Mark& mark) { return mark.kind == kind; });
    };
    if (count(Mark::kUnknownRecorded) > kMostUnknown) {
        job.recordedKnownEnd = 0;
        std::erase_if(marks, [](const Mark& mark) { return mark.kind == Mark::kUnknownRecorded; });
    }
    if (count(Mark::kUnknownListed) > kMostUnknown) {
        job.listedKnown = false;
        std::erase_if(marks, [](const Mark& mark) { return mark.kind == Mark::kUnknownListed; });
    }
    job.duplicate = twinFound;
    job.marks = std::move(marks);
}

std::optional<bool> DuplicateLookahead::SameListed(const Job& job, std::uint32_t listed) const
{
    if (!job.listedKnown || listed >= job.file || files_[listed].signature != files_[job.file].signature)
        return std::nullopt;
    // Left unweighed as a duplicate itself (see Weigh).
    if (const Job* earlier = JobOf(listed); earlier && earlier->duplicate)
        return std::nullopt;
    for (const Mark& mark : job.marks) {
        if (mark.at == listed && mark.kind == Mark::kUnknownListed)
            return std::nullopt;
        if (mark.at == listed && mark.kind == Mark::kSameListed)
            return true;
    }
    return false;
}

std::optional<bool> DuplicateLookahead::Verdicts::SameBytes(const std::wstring* candidate) const
{
    const Job& job = *job_;
    const Group& group = owner_->groups_[job.group];
    const auto begin = owner_->recordedByAddress_.begin() + group.recordedBegin;
    const auto end = owner_->recordedByAddress_.begin() + group.recordedEnd;
    const auto at = std::lower_bound(begin, end, candidate, [](const auto& entry, const std::wstring* path) {
        return std::less<const std::wstring*>()(entry.first, path);
    });
    if (at != end && at->first == candidate) {
        const std::uint32_t place = at->second;
        if (place >= job.recordedKnownEnd)
            return std::nullopt;
        for (const Mark& mark : job.marks) {
            if (mark.at == place && mark.kind == Mark::kUnknownRecorded)
                return std::nullopt;
            if (mark.at == place && mark.kind == Mark::kSameRecorded)
                return true;
        }
        return false;
    }
    // A copy the run made is weighed as its source; a copy under way is named by its source.
    if (const auto copy = owner_->copySource_.find(*candidate); copy != owner_->copySource_.end())
        return owner_->SameListed(job, copy->second);
    if (const std::optional<std::uint32_t> listed = owner_->ListedIndexOf(*candidate))
        return owner_->SameListed(job, *listed);
    return std::nullopt;
}
