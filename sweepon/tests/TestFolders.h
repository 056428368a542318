// Folders and files for Sweepon's Wine tests.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace sweepon_test {

// A fresh folder of its own under the temporary folder, removed with
// everything in it when the object goes. Path() ends with a backslash.
class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

bool Exists(const std::wstring& path);
DWORD Attributes(const std::wstring& path);
// Makes the folder and any missing folder above it.
bool MakeFolders(const std::wstring& path);
// Makes the file (and the folders above it) with a little content.
bool MakeFile(const std::wstring& path);
bool MakeReadOnlyFile(const std::wstring& path);
// Removes a file or a folder tree, read-only files included, taking links
// away as links (through the Unix side: Wine follows them in every Win32
// call) and never entering them.
void RemoveTree(const std::wstring& path);

// Calls `visit` with the name and attributes of every entry of `folder`
// (ending with a backslash) but "." and "..".
void ForEachEntry(const std::wstring& folder,
                  const std::function<void(const std::wstring& name, DWORD attributes)>& visit);

// "\\?\" + path: for folders longer than the classic calls take.
std::wstring LongPath(const std::wstring& path);

// Makes `link` a Unix symbolic link to `target`: the only kind of link Wine
// has. Wine lists a link to a folder as a folder with the reparse-point
// attribute, and a link to a file as a plain file. False when the Unix side
// cannot be reached.
bool MakeUnixLink(const std::wstring& target, const std::wstring& link);

// Removes the Unix symbolic link `link` itself, through the Unix side.
void RemoveUnixLink(const std::wstring& link);
// Removes a whole tree through the Unix side at once (rm -rf, which never
// follows links): far faster under Wine than entry by entry.
void RemoveTreeFromUnix(const std::wstring& path);

// `path` is `folder` or lies below it (both without trailing backslashes).
bool IsAtOrBelow(const std::wstring& path, const std::wstring& folder);

// UTF-8, for printing paths.
std::string Narrow(const std::wstring& text);

// Whether the ANSI code page can spell `text` (without best-fit guesses).
bool AnsiCodePageHolds(const std::wstring& text);

}  // namespace sweepon_test
