#pragma once
// What the run button does: the checks, the run under its progress dialog, the completion
// notice and the album in the browser.

#include <windows.h>

#include <string>

#include "organize/run_checks.h"

// albumButton: the main window's open-album button, disabled during the run and enabled
// afterwards when the album exists; may be null.
void ExecuteOrganize(HWND owner, const RunChoices& choices, HWND albumButton);

// output folder + "\PhotoAlbum\index.html".
std::wstring AlbumIndexPath(const std::wstring& outputFolder);
