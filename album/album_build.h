#pragma once
// The HTML album of an output folder, built after a run.

#include <string>

#include "base/status_code.h"
#include "base/progress_sink.h"

// Rebuilds output folder + "\PhotoAlbum". The album itself arrives in a later version: for
// now there is nothing to build, and that succeeds.
StatusCode BuildPhotoAlbum(ProgressSink_CL& progress, const std::wstring& outputFolder);
