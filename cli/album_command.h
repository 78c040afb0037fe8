#pragma once

// kasumiro-cli album --output DIR [--no-preview-files]
// Builds the HTML album of an output folder organized before. --no-preview-files leaves out
// the files without a preview. Exit status: 0 built, 1 the build failed, 2 a usage error.
int RunAlbumCommand(int argc, wchar_t** argv);
