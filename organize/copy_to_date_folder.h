#pragma once
// Copies one file into its date folder under the output folder: a bracketed counter on a
// name clash, never an overwrite, and the source left as it was.

#include <string>

#include "base/status_code.h"

// The longest clash counter tried: IMG_0001(99999).JPG.
constexpr int kMaxClashCounter = 99999;

// formatIndex: the layout of the date folders. destination: the path chosen (empty when the
// capture date could not be resolved, or the path would not fit the platform's limit).
StatusCode CopyToDateFolder(const std::wstring& outputFolder, const std::wstring& sourcePath, int formatIndex,
                            std::wstring* destination);
