#pragma once
// Things on the host's file system that the Windows API of the test machine cannot make:
// symbolic links, and names with characters Windows forbids (a Linux share can
// hold both). They are made by the host's own tools, started like any program.

#include <string>

// The host's path of a Windows path; empty when there is none.
std::string HostPathOf(const std::wstring& path);

// Runs a host shell command (paths in it are host paths, quoted with ') and waits for its
// end; false when it could not be started or did not end within seconds.
bool RunHostCommand(const std::string& command);

// A symbolic link at `link` to the folder or file `target` (a Windows path, or relative to
// the link's folder when it has no drive); true when the link is there afterwards.
bool MakeHostLink(const std::wstring& link, const std::wstring& target);
// Removes a link made by MakeHostLink, never what it points to.
bool RemoveHostLink(const std::wstring& link);

// Makes a small file in `folder` under a host name that Windows cannot spell ("a:b?.jpg",
// "COM1.jpg", "IMG.JPG."), holding `content` (plain text), and removes it again when it goes.
class HostNamedFile {
public:
    HostNamedFile(const std::wstring& folder, std::string hostName, const std::string& content = "");
    ~HostNamedFile();
    HostNamedFile(const HostNamedFile&) = delete;
    HostNamedFile& operator=(const HostNamedFile&) = delete;

    bool Made() const { return made_; }

private:
    std::string hostPath_;
    bool made_ = false;
};
