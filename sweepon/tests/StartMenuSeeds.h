// The prefix's real Start Menu folders, as Sweepon's end-to-end tests seed
// and inspect them.
#pragma once

#include <array>
#include <set>
#include <string>

namespace sweepon_test {

// The four candidates of one layout, in Sweepon's order, without trailing
// backslashes: user 夸沃科技, all-users 夸沃科技, user Quorvale, all-users Quorvale.
using MakerFolders = std::array<std::wstring, 4>;

// Windows 7 and later: the Programs folders of the user's and of the
// all-users Start Menu, as the shell names them.
MakerFolders Windows7LayoutFolders();
// The older layout: 程序 below the user's Start Menu, and the all-users
// menu of Chinese XP below Documents and Settings.
MakerFolders OlderLayoutFolders();

std::wstring UserStartMenu();
std::wstring AllUsersStartMenu();

// Every path below the folders the tests touch (both layouts), so that a
// test sees anything that changed.
std::set<std::wstring> SnapshotStartMenus();

// Folders and files next to the maker folders, in both layouts, that look
// like them but are not theirs.
void SeedNeighbours();

// Removes every maker folder and neighbour of both layouts, and the older
// layout's folders once they are empty (a Wine prefix has none of its own).
void ClearStartMenus();

// While this lives, the user's Start Menu is `startMenu` (made if missing):
// the shell's folder setting in the registry (User Shell Folders) names it,
// for every program of the prefix. The setting and the folders made are
// put back as they were when it goes.
class RedirectedUserStartMenu {
public:
    explicit RedirectedUserStartMenu(const std::wstring& startMenu);
    RedirectedUserStartMenu(const RedirectedUserStartMenu&) = delete;
    RedirectedUserStartMenu& operator=(const RedirectedUserStartMenu&) = delete;
    ~RedirectedUserStartMenu();

    // The shell now gives `startMenu` as the user's Start Menu.
    bool IsActive() const { return active_; }

private:
    std::wstring previous_;
    std::wstring madeRoot_;  // the outermost folder made for it, if any
    bool active_ = false;
};

}  // namespace sweepon_test
