#pragma once
// The names of a run's copies in the output folder, decided before any is made: each file's
// date folder (made level by level as the run first comes to it), a bracketed counter on a
// name clash, never an overwrite, and a name that holds the file's bytes already taken as the
// copy an earlier run made.

#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/status_code.h"
#include "organize/file_facts.h"
#include "organize/file_signature.h"
#include "organize/planned_copy.h"

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
