#pragma once
// The organize run's finder: walks the input folders and keeps every file of a wanted kind
// whose capture date can be resolved, with what it learned of the file on the way (read
// once). The program's own folders and files are never the user's, at any depth. Files that
// belong together (file_groups.h) are kept together, with their sidecars whatever the kind
// switches say, and dated alike; the list is in the order the files were met.

#include <cstdint>
#include <string>
#include <vector>

#include "base/progress_sink.h"
#include "organize/file_facts.h"
#include "organize/file_groups.h"
#include "base/folder_walk.h"
#include "organize/organize_settings.h"
#include "organize/run_report.h"

class WantedFileFinder : public FolderWalker {
public:
    // stop: when given, the walk ends as soon as it asks to stop. report: when given, told of
    // each file and folder left out, with why.
    WantedFileFinder(const OrganizeSettings* settings, std::vector<FileFacts>* files,
                     const ProgressSink* stop = nullptr, RunReportSink* report = nullptr)
        : settings_(settings), files_(files), stop_(stop), report_(report)
    {
    }

    // Folders and files left out because their paths are too long; each is in the log.
    int TooLongCount() const { return tooLong_; }
    // Folders and wanted files left out because they could not be read (denied, locked, a
    // name the system refuses); each is in the log.
    int UnreadableCount() const { return unreadable_; }

protected:
    bool Skips(const std::wstring& folder, const WIN32_FIND_DATAW& found) override;
    void OnEnterFolder(const std::wstring& path) override;
    void OnLeaveFolder(const std::wstring& path) override;
    void OnFile(const std::wstring& folderPath, const WIN32_FIND_DATAW& found) override;
    void OnPathTooLong(const std::wstring& path) override;
    void OnUnreadableFolder(const std::wstring& folderPath, DWORD error) override;
    void OnFolderWalkedAlready(const std::wstring& folderPath) override;
    void OnLink(const std::wstring& path, const WIN32_FIND_DATAW& found) override;
    bool ShouldStop() const override { return stop_ && stop_->StopRequested(); }

private:
    // A file of the folder being walked that may be listed: wanted, or a sidecar that may
    // travel with one.
    struct Met {
        std::wstring name;
        std::uint64_t size;
        FILETIME lastWrite;
        bool wanted;
        GroupRole role;
        std::uint64_t order;  // when it was met
    };
    struct FolderFiles {
        std::wstring path;
        std::vector<Met> files;
    };
    // The files of a folder marked in `toRead`, read at once on a few workers (an open is most
    // of a listing's time, and much of it waiting); the others are left empty.
    std::vector<FileRead> ReadFiles(const std::wstring& folder, const std::vector<Met>& files,
                                    const std::vector<bool>& toRead) const;
    // The file dated from what was read of it; false, counted and logged, when it could not be
    // read.
    bool Gather(FileRead read, FileFacts* facts);
    // The group's members dated alike from what was read of them (taken from `reads`), and listed.
    void ListGroup(std::vector<FileRead>& reads, const FileGroup& group, const std::vector<Met>& files);
    void Append(FileFacts facts, std::uint64_t order);
    // Counted among the unreadable, logged and reported.
    void LeaveOut(const std::wstring& path, const wchar_t* logText, const wchar_t* reason);
    // Puts the list in the order its files (a group by its first member) were met.
    void SortByOrderMet();

    const OrganizeSettings* settings_;  // not owned
    std::vector<FileFacts>* files_;  // not owned: the run's list
    const ProgressSink* stop_;       // not owned
    RunReportSink* report_;          // not owned
    TakeoutSidecars sidecars_;  // of the folders walked
    std::vector<FolderFiles> walking_;  // the folders being walked, innermost last
    std::vector<std::uint64_t> orderOfListed_;  // beside *files_: when each was met
    std::uint64_t met_ = 0;
    std::uint32_t groups_ = 0;
    int tooLong_ = 0;
    int unreadable_ = 0;
};
