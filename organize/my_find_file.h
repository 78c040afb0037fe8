#pragma once
// The organize run's finder: keeps every file of a wanted kind whose capture date can be
// resolved, with what it learned of the file on the way (read once).

#include <string>
#include <vector>

#include "organize/file_facts.h"
#include "organize/find_file.h"
#include "organize/organize_settings.h"

class MyFindFile_CL : public FindFile_CL {
public:
    MyFindFile_CL(const OrganizeSettings* settings, std::vector<FileFacts_CL>* files)
        : settings_(settings), files_(files)
    {
    }

protected:
    void OnFile(const std::wstring& folderPath, const WIN32_FIND_DATAW& found) override;

private:
    const OrganizeSettings* settings_;  // not owned
    std::vector<FileFacts_CL>* files_;  // not owned: the run's list
};
