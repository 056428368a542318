// Removal of the maker's folders from the Start Menu.
#pragma once

#include "framework/FrameworkString.h"

#include <array>
#include <cstddef>

// Adds to `subfolders` and `files` what `folder` (ending with a backslash)
// holds, at every depth. A folder whose name begins with "." is neither
// counted nor entered; a linked folder (junction, symbolic link) is counted
// but never entered. A folder that cannot be searched adds nothing.
void CountFolderContents(const CString& folder, std::size_t& subfolders, std::size_t& files);

// Removes `folder` with everything in it and returns whether the folder
// itself is gone. A link is removed as a link and never entered; an entry
// whose path is too long for the platform's calls is left alone. Every
// folder that cannot be removed shows the warning box, so a failure deep
// down shows one box per level.
bool DeleteDirectory(CString folder);

// Handles the candidates in order: one that does not exist, or that holds
// any subfolder, is left alone; any other is removed.
void RemoveCandidateFolders(const std::array<CString, 4>& candidates);
