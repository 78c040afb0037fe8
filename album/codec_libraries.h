#pragma once
// The codecs' DLLs, which every program binds on their first call rather than at its start
// (cmake/codecs.cmake): before the album first decodes, each is loaded from the program's own
// folder and checked to be the version the program was built with. A call into one that is
// not there would end the program, so nothing decodes until this has passed.

#include <string>

// Empty when every codec is there and of its version; otherwise the first that is not, as the
// user can look for it: its file name, and its version where the library tells it
// ("libheif.dll 1.15.1"). Checked once a process; the libraries stay loaded from then on.
const std::wstring& MissingCodecLibrary();
