#pragma once
// The choices of a run as the settings file keeps them: the input folder history, and the
// output folder, layout and album switches. The main window writes them after every change,
// the run button before its checks; a settings file that does not take them is said in the log.

#include <string>
#include <vector>

#include "organize/organize_settings.h"
#include "organize/run_checks.h"

// FOLDER_HISTORY: count and item0, item1, ... (each without a trailing backslash).
void SaveFolderHistory(const std::vector<std::wstring>& folders);
// APP_INFO: OutputFolder, MakePhotoHtml, MakePhotoHtmlIncludeNoPreview, OutputFormatType.
void SaveRunValues(const std::wstring& outputFolder, const OrganizeSettings& settings);

// What the run button remembers before the user hears of its checks, so that a refusal loses
// nothing typed. An output folder inside an input folder is the exception: the history then
// holds the input folders up to that one, and the output folder is not remembered.
void RememberRunChoices(const PreparedRun& run, const RunVerdict& verdict, const OrganizeSettings& settings);
