#pragma once
// The organize run's finder: walks the input folders and keeps every file of a wanted kind
// whose capture date can be resolved, with what it learned of the file on the way (read
// once). The program's own folders and files are never the user's, at any depth.

#include <string>
#include <vector>

#include "base/progress_sink.h"
#include "organize/file_facts.h"
#include "base/folder_walk.h"
#include "organize/organize_settings.h"

class WantedFileFinder : public FolderWalker {
public:
    // stop: when given, the walk ends as soon as it asks to stop.
    WantedFileFinder(const OrganizeSettings* settings, std::vector<FileFacts>* files,
                     const ProgressSink* stop = nullptr)
        : settings_(settings), files_(files), stop_(stop)
    {
    }

    // Folders and files left out because their paths are too long; each is in the log.
    int TooLongCount() const { return tooLong_; }
    // Folders and wanted files left out because they could not be read (denied, locked, a
    // name the system refuses); each is in the log.
    int UnreadableCount() const { return unreadable_; }

protected:
    bool Skips(const std::wstring& folder, const WIN32_FIND_DATAW& found) override;
    void OnFile(const std::wstring& folderPath, const WIN32_FIND_DATAW& found) override;
    void OnPathTooLong(const std::wstring& path) override;
    void OnUnreadableFolder(const std::wstring& folderPath, DWORD error) override;
    void OnFolderWalkedAlready(const std::wstring& folderPath) override;
    void OnLink(const std::wstring& path, const WIN32_FIND_DATAW& found) override;
    bool ShouldStop() const override { return stop_ && stop_->StopRequested(); }

private:
    const OrganizeSettings* settings_;  // not owned
    std::vector<FileFacts>* files_;  // not owned: the run's list
    const ProgressSink* stop_;       // not owned
    TakeoutSidecars sidecars_;  // of the folders walked
    int tooLong_ = 0;
    int unreadable_ = 0;
};
