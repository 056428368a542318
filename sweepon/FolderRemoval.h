// Removal of the maker's folders from the Start Menu.
#pragma once

#include "framework/FrameworkString.h"

#include <array>
#include <cstddef>
#include <string>

// Adds to `subfolders` and `files` what `folder` (ending with a backslash)
// holds, at every depth. A folder whose name begins with "." is neither
// counted nor entered; a linked folder (junction, symbolic link) is counted
// but never entered. A folder that cannot be searched adds nothing.
void CountFolderContents(const CString& folder, std::size_t& subfolders, std::size_t& files);

// From now on a folder that cannot be removed appends a line to the log at
// `logPath` (made when missing) instead of showing the warning box; an
// empty path, or a log that cannot be written, drops the warning. Either
// way nothing waits for a person.
void SendWarningsToLog(std::wstring logPath);

// Removes `folder` with everything in it and returns whether the folder
// itself is gone. A link is removed as a link and never entered; an entry
// whose path is too long for the platform's calls is left alone. Every
// folder that cannot be removed shows the warning box (or logs its line),
// so a failure deep down warns once per level.
bool DeleteDirectory(CString folder);

// Handles the candidates in order: one that does not exist, or that holds
// any subfolder, is left alone; any other is removed.
void RemoveCandidateFolders(const std::array<CString, 4>& candidates);
