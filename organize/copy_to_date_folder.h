#pragma once
// Copies files into their date folders under the output folder: a bracketed counter on a
// name clash, never an overwrite, the source left as it was, and never a half-written file
// under a final name (each copy is made under a temporary name and renamed into place).

#include <set>
#include <string>

#include "base/status_code.h"
#include "organize/file_facts.h"
#include "organize/file_signature.h"
#include "organize/output_names.h"

// The longest clash counter tried: IMG_0001(99999).JPG.
constexpr int kMaxClashCounter = 99999;

// The output folder of one run: the date folders made so far and the buffers of the byte
// comparisons, kept from one copy to the next.
class DateFolderWriter_CL {
public:
    DateFolderWriter_CL(std::wstring outputFolder, int formatIndex)
        : outputFolder_(std::move(outputFolder)), formatIndex_(formatIndex)
    {
    }

    // Copies the file into its date folder. destination: the path chosen (empty when none
    // fits the platform's path limit). alreadyThere: a file of that name, or of one of its
    // counter names, holds the same bytes already (a copy an earlier run made but could not
    // record); nothing is copied then and destination names it.
    StatusCode Copy(const FileFacts_CL& file, std::wstring* destination, bool* alreadyThere);

private:
    StatusCode MakeFolder(const std::wstring& folder);

    std::wstring outputFolder_;
    int formatIndex_;
    std::set<std::wstring> folders_;  // made, or found there, in this run
    CompareBuffers_CL buffers_;
};

// One copy on its own: the file is dated first. formatIndex: the layout of the date folders.
StatusCode CopyToDateFolder(const std::wstring& outputFolder, const std::wstring& sourcePath, int formatIndex,
                            std::wstring* destination);

// Removes the partial copies a stopped run left in the output folder's tree.
void RemovePartialCopies(const std::wstring& outputFolder);
