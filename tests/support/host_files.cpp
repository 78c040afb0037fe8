#include "tests/support/host_files.h"

#include <windows.h>

#include <atomic>

#include "base/handles.h"
#include "base/text_encoding.h"

namespace {

using UnixFileNameFunction = char*(__cdecl*)(const wchar_t*);

std::wstring FromUtf8(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Quoted(const std::string& hostPath)
{
    return "'" + hostPath + "'";
}

}  // namespace

std::string HostPathOf(const std::wstring& path)
{
    // Exported by the compatibility layer's kernel32; the string is its process heap's.
    static const auto unixFileName = reinterpret_cast<UnixFileNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixFileName)
        return std::string();
    char* name = unixFileName(path.c_str());
    if (!name)
        return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

bool RunHostCommand(const std::string& command)
{
    // A host program's end is not seen as a process's end here: the command leaves a file
    // behind when it is done, and that file is waited for.
    static std::atomic<int> serial{0};
    wchar_t temporary[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temporary);
    const std::wstring done = std::wstring(temporary) + L"kasumiro-host-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(++serial) + L".done";
    const std::string hostDone = HostPathOf(done);
    if (hostDone.empty())
        return false;
    std::wstring commandLine = L"/bin/sh -c \"" + FromUtf8(command + "; touch '" + hostDone + "'") + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    UniqueHandle processHandle(process.hProcess), thread(process.hThread);
    for (int tries = 0; tries < 500; ++tries) {
        if (DeleteFileW(done.c_str()))
            return true;
        Sleep(20);
    }
    return false;
}

bool MakeHostLink(const std::wstring& link, const std::wstring& target)
{
    const bool relative = target.size() < 2 || target[1] != L':';
    const std::string hostTarget = relative ? ToUtf8(target) : HostPathOf(target);
    const size_t slash = link.rfind(L'\\');
    const std::string hostFolder = HostPathOf(link.substr(0, slash));
    if (hostTarget.empty() || hostFolder.empty() || slash == std::wstring::npos)
        return false;
    const std::string hostLink = hostFolder + "/" + ToUtf8(link.substr(slash + 1));
    WIN32_FIND_DATAW found{};
    return RunHostCommand("ln -s " + Quoted(hostTarget) + " " + Quoted(hostLink)) &&
           UniqueFindHandle(FindFirstFileW(link.c_str(), &found));
}

bool RemoveHostLink(const std::wstring& link)
{
    // The link's own host path: asked of the link itself, the host names where it leads.
    const size_t slash = link.rfind(L'\\');
    const std::string hostFolder = slash == std::wstring::npos ? std::string() : HostPathOf(link.substr(0, slash));
    if (hostFolder.empty())
        return false;
    // Without a trailing slash rm removes the link itself.
    return RunHostCommand("rm -f " + Quoted(hostFolder + "/" + ToUtf8(link.substr(slash + 1))));
}

HostNamedFile::HostNamedFile(const std::wstring& folder, std::string hostName, const std::string& content)
{
    const std::string hostFolder = HostPathOf(folder);
    if (hostFolder.empty())
        return;
    hostPath_ = hostFolder + "/" + hostName;
    made_ = RunHostCommand("printf %s " + Quoted(content) + " > " + Quoted(hostPath_));
}

HostNamedFile::~HostNamedFile()
{
    if (made_)
        RunHostCommand("rm -f " + Quoted(hostPath_));
}
