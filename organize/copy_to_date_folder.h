#pragma once
// Copies files into their date folders under the output folder: a bracketed counter on a
// name clash, never an overwrite, the source left as it was, and never a half-written file
// under a final name (each copy is made under a temporary name and renamed into place).

#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/status_code.h"
#include "organize/file_facts.h"
#include "organize/file_signature.h"
#include "organize/output_names.h"

// Where one file goes, decided before it is copied: the copy itself may then run on any
// thread, beside others.
struct PlannedCopy {
    std::wstring source;
    std::wstring destination;  // the final name
    std::wstring partial;      // the temporary name it is made under; empty: straight to its place
    std::uint64_t signature = kUnreadableSignature;  // the source's, which the copy shares
    CaptureDateSource dateSource = CaptureDateSource::kNone;  // where its day came from
    // A file of the final name (or one of its counter names) holds the same bytes already:
    // a copy an earlier run made but could not record. Nothing is copied then.
    bool alreadyThere = false;
};

// The output folder of one run: the date folders made so far, the names given out so far,
// and the buffers of the byte comparisons, kept from one file to the next.
class DateFolderWriter {
public:
    DateFolderWriter(std::wstring outputFolder, int formatIndex)
        : outputFolder_(std::move(outputFolder)), formatIndex_(formatIndex)
    {
    }

    // Decides the file's name in its date folder and makes the folder. Names are given in
    // the order files are planned: a name planned before counts as taken whether or not its
    // copy is done yet, so clash counters come out as if each copy were made at once. On
    // failure plan->destination is the name chosen (empty when none fits the path limit).
    StatusCode Plan(const FileFacts& file, PlannedCopy* plan);
    // Plans the members of one group (file_groups.h; one date) in their date folder: the first
    // counter under which every member's name is free, or holds that member's bytes already.
    // plans: one a member, in their order.
    StatusCode PlanGroup(const std::vector<const FileFacts*>& members, std::vector<PlannedCopy>* plans);
    // Plans a group's member beside the copy of another member that the output folder holds
    // already (besideCopy, of besideSource): under the name that matches it, when that name is
    // free or holds this member's bytes. False when it cannot go there.
    bool PlanBeside(const FileFacts& file, const std::wstring& besideCopy, const FileFacts& besideSource,
                    PlannedCopy* plan);

    // Makes a planned copy: under its temporary name, then renamed into place without
    // replacing anything. Touches nothing of the writer: plans may be made on any threads at
    // once.
    static StatusCode Make(const PlannedCopy& plan);

    // Plan and Make at once. destination: the name chosen; alreadyThere as in the plan.
    StatusCode Copy(const FileFacts& file, std::wstring* destination, bool* alreadyThere);

private:
    // The names in one date folder, upper-cased (the file system takes two names that differ
    // in case as one): those there when the run first came to it, and those given out since.
    struct FolderNames {
        bool listed = false;  // false: the folder could not be read, each name is looked up
        std::unordered_set<std::wstring> found;
        std::unordered_set<std::wstring> given;
        bool Found(const std::wstring& folder, const std::wstring& upperName) const;
    };

    StatusCode MakeFolder(const std::wstring& folder);
    // Marks the planned name taken and gives the copy its work name (unless it is there).
    void GiveOut(const std::wstring& folder, const std::wstring& upperName, PlannedCopy* plan);
    FolderNames& NamesIn(const std::wstring& folder);

    std::wstring outputFolder_;
    int formatIndex_;
    std::set<std::wstring> folders_;  // made, or found there, in this run
    std::unordered_map<std::wstring, FolderNames> names_;  // by date folder
    unsigned partialSerial_ = 0;
    CompareBuffers buffers_;
};

// One copy on its own: the file is dated first. formatIndex: the layout of the date folders.
StatusCode CopyToDateFolder(const std::wstring& outputFolder, const std::wstring& sourcePath, int formatIndex,
                            std::wstring* destination);

// Puts finished copies on the disk (their data and sizes), on `threads` threads at once: a
// disk takes several flushes together faster than one after the other. Returns the copies
// that could not be opened or flushed, with the status of each.
std::vector<std::pair<std::wstring, StatusCode>> FlushCopiesToDisk(const std::vector<std::wstring>& copies,
                                                                   int threads);

// Removes the partial copies a stopped run left in the output folder's tree.
void RemovePartialCopies(const std::wstring& outputFolder);
