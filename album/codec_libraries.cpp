#include "album/codec_libraries.h"

#include <windows.h>

#include <libavcodec/version.h>
#include <libavformat/version.h>
#include <libavutil/version.h>
#include <libde265/de265-version.h>
#include <libheif/heif_version.h>
#include <libswscale/version.h>

#include <vector>

#include "base/handles.h"
#include "base/log_file.h"
#include "base/paths.h"

namespace {

struct CodecLibrary {
    const wchar_t* file;
    // A function that answers the library's version as one number; null where the file's name
    // carries the version of its interface (libjpeg's 62) or the library answers only in text.
    const char* versionFunction;
    unsigned builtVersion;
    const wchar_t* versionText;  // how the user reads the version; may be empty
    const char* anyExport;       // a function every build of it has, to tell it from another DLL
};

#define KASUMIRO_WIDE_(text) L##text
#define KASUMIRO_WIDE(text) KASUMIRO_WIDE_(text)

// In the order they depend on one another, so that the one named is the one missing and not a
// library that needs it.
const CodecLibrary kCodecLibraries[] = {
    {L"libjpeg-62.dll", nullptr, 0, L"", "jpeg_CreateDecompress"},
    {L"libde265.dll", "de265_get_version_number", LIBDE265_NUMERIC_VERSION, KASUMIRO_WIDE(LIBDE265_VERSION),
     "de265_new_decoder"},
    {L"libdav1d.dll", nullptr, 0, L"", "dav1d_version"},
    {L"libheif.dll", "heif_get_version_number", LIBHEIF_NUMERIC_VERSION, KASUMIRO_WIDE(LIBHEIF_VERSION),
     "heif_context_alloc"},
    {L"avutil-57.dll", "avutil_version", LIBAVUTIL_VERSION_INT, KASUMIRO_WIDE(AV_STRINGIFY(LIBAVUTIL_VERSION)),
     "av_malloc"},
    {L"swscale-6.dll", "swscale_version", LIBSWSCALE_VERSION_INT, KASUMIRO_WIDE(AV_STRINGIFY(LIBSWSCALE_VERSION)),
     "sws_scale"},
    {L"avcodec-59.dll", "avcodec_version", LIBAVCODEC_VERSION_INT, KASUMIRO_WIDE(AV_STRINGIFY(LIBAVCODEC_VERSION)),
     "avcodec_send_packet"},
    {L"avformat-59.dll", "avformat_version", LIBAVFORMAT_VERSION_INT,
     KASUMIRO_WIDE(AV_STRINGIFY(LIBAVFORMAT_VERSION)), "av_read_frame"},
};

#undef KASUMIRO_WIDE
#undef KASUMIRO_WIDE_

std::wstring NameOf(const CodecLibrary& library)
{
    return *library.versionText ? std::wstring(library.file) + L" " + library.versionText : library.file;
}

bool IsBuiltVersion(HMODULE module, const CodecLibrary& library)
{
    if (!GetProcAddress(module, library.anyExport))
        return false;
    if (!library.versionFunction)
        return true;
    using VersionFunction = unsigned (*)();
    const auto version = reinterpret_cast<VersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, library.versionFunction)));
    return version && version() == library.builtVersion;
}

// Loads every codec from the program's folder, and no other (a DLL of the same name elsewhere
// on the search path is not ours); they stay loaded for the process's life, as their calls
// are bound to them.
std::wstring CheckCodecLibraries()
{
    static std::vector<UniqueModule> loaded;
    const std::wstring folder = GetExeFolder() + L"\\";
    for (const CodecLibrary& library : kCodecLibraries) {
        const std::wstring path = folder + library.file;
        UniqueModule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        if (!module) {
            g_Log.Write(L"コーデックのDLLを読み込めません = %s (エラー = %u)", path.c_str(),
                        static_cast<unsigned>(GetLastError()));
            return NameOf(library);
        }
        if (!IsBuiltVersion(module.get(), library)) {
            g_Log.Write(L"コーデックのDLLの版が違います = %s", path.c_str());
            return NameOf(library);
        }
        loaded.push_back(std::move(module));
    }
    return std::wstring();
}

}  // namespace

const std::wstring& MissingCodecLibrary()
{
    static const std::wstring missing = CheckCodecLibraries();
    return missing;
}
