#pragma once

// kasumiro-cli organize --output DIR --input DIR [--input DIR ...] [--format N]
//     [--kinds LIST] [--album | --no-album] [--yes] [--settings FILE]
// Exit status: 0 organized, 1 the run failed, 2 refused or a usage error.
int RunOrganizeCommand(int argc, wchar_t** argv);
