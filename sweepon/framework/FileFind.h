// A wide-text search of a folder's entries. As in the class library it
// stands in for, FindFile only starts the search: each FindNextFile makes
// the next entry current and tells whether another one follows, so a walk
// reads:
//     BOOL more = finder.FindFile(pattern);
//     while (more) { more = finder.FindNextFile(); ...use the current entry... }
// <windows.h> turns the name FindNextFile into FindNextFileW, here and at
// every call alike, so the member keeps its familiar name in the source.
#pragma once

#include "FrameworkString.h"

#include <windows.h>

class CFileFind {
public:
    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
    ~CFileFind();

    // Starts a search for `pattern` (a folder followed by a mask such as
    // "*.*"); FALSE when nothing matches or the folder cannot be searched.
    BOOL FindFile(LPCWSTR pattern);
    // Makes the next entry current; FALSE when it is the last one.
    BOOL FindNextFile();
    // The current entry is "." or "..".
    BOOL IsDots() const;
    CString GetFileName() const;
    // The current entry has any attribute of `mask` (FILE_ATTRIBUTE_*).
    BOOL MatchesMask(DWORD mask) const;
    void Close();

private:
    HANDLE search_ = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW current_{};
    WIN32_FIND_DATAW next_{};
    bool hasNext_ = false;
};
