// Sweepon's stress suite: random maker folders, seeded from a number, with
// links out of them, read-only files, names too long for the classic calls
// and names outside the ANSI code page. The removal pass runs on many such
// layouts in a scratch area (its boxes answered in place), and the real
// sweepon.exe on a few seeded into the prefix's own Start Menus (its boxes
// answered on the display). Goals: nothing outside the four candidates is
// ever removed or added, what should go goes and what should stay stays,
// with one warning box per folder that stays.
//   sweepon_stress [--short] [--seed N] [--layouts N] [--runs N]
// --short (CI's version) comes first: it sets fewer layouts and runs, and
// seeds the runs of sweepon.exe without anything that shows a box (each
// costs Wine about 2 s).
#include "FolderRemoval.h"
#include "MessageBoxRecorder.h"
#include "RunAsWindowsVersion.h"
#include "StartMenuSeeds.h"
#include "TestFolders.h"
#include "WarningBoxes.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace sweepon_test {
namespace {

using wintest::WindowsVersion;

// Every path the walks build stays well within the classic calls' limit,
// or lies well beyond it, so that a doubled backslash here or there never
// decides what the pass can reach.
constexpr std::size_t kLongestReachable = 240;
constexpr std::size_t kShortestUnreachable = 275;

std::wstring NameOf(const std::wstring& path)
{
    return path.substr(path.find_last_of(L'\\') + 1);
}

enum class Kind { Folder, File, ReadOnlyFile, FolderLink };

struct Entry {
    Entry() = default;
    Entry(std::wstring entryPath, Kind entryKind, bool beyondReach = false)
        : path(std::move(entryPath)), kind(entryKind), unreachable(beyondReach)
    {
    }

    std::wstring path;
    Kind kind = Kind::Folder;
    bool unreachable = false;       // too long for the classic calls: left alone
    bool targetHasSubfolder = false;  // a link: what a count through it finds
    std::vector<Entry> children;
};

enum class CandidateState { Missing, Folder, NotAFolder, Link };

struct Candidate {
    CandidateState state = CandidateState::Missing;
    Entry root;  // root.path: the candidate without its trailing backslash
};

struct Options {
    unsigned seed = 20240611;
    int layouts = 600;
    int runs = 12;
    bool everythingInRuns = true;  // read-only files and links in the real runs too (boxes)
};

struct Figures {
    int layouts = 0;
    int runs = 0;
    int candidates[4] = {};  // by CandidateState
    int folders = 0, files = 0, readOnly = 0, links = 0, unreachable = 0, foreignNames = 0;
    int removed = 0, kept = 0;
    int boxesExpected = 0, boxesShown = 0;
    // the goals: all 0
    int removedOutside = 0, appeared = 0, stayedButShouldGo = 0, goneButShouldStay = 0;
    int boxMismatches = 0, unfinishedRuns = 0, seedingFailures = 0;
    std::vector<std::string> problems;

    int Missed() const
    {
        return removedOutside + appeared + stayedButShouldGo + goneButShouldStay + boxMismatches
               + unfinishedRuns + seedingFailures;
    }
    void Problem(const std::string& what)
    {
        if (problems.size() < 20) {
            problems.push_back(what);
        }
    }
};

// Names as users and installers make them, in several scripts: the Thai,
// Devanagari, Arabic, emoji and rare CJK ones are outside the code pages
// of both Western and Chinese Windows.
const std::vector<std::wstring> kFileNames = {
    L"Uninstall.lnk", L"Website.url", L"readme.txt", L"a b  c.lnk", L"夸沃科技.lnk", L"帮助.lnk",
    L"ผู้ใช้.lnk", L"𠀀𠀁.url", L"Ελληνικά.lnk", L"📄 notes.txt", L"مستند.lnk"};
const std::vector<std::wstring> kFolderNames = {
    L"Docs", L"Tools", L"程序", L"子目录", L"「开始」菜单", L"दस्तावेज़", L"📁 Files", L"Документы"};
const std::vector<std::wstring> kDotNames = {L".cache", L".hidden", L".夸沃", L".ผู้ใช้"};

class Seeder {
public:
    Seeder(unsigned seed, bool readOnly, bool links, bool unreachable, std::wstring outside, Figures& figures)
        : random_(seed), readOnly_(readOnly), links_(links), unreachable_(unreachable),
          outside_(std::move(outside)), figures_(figures)
    {
    }

    Candidate MakeCandidate(const std::wstring& path)
    {
        Candidate candidate;
        const int roll = Roll(100);
        candidate.root.path = path;
        if (roll < 15) {
            candidate.state = CandidateState::Missing;
        } else if (roll < 20) {
            candidate.state = CandidateState::NotAFolder;
            candidate.root.kind = Kind::File;
            Check(MakeFile(path), path);
        } else if (roll < 27 && links_) {
            candidate.state = CandidateState::Link;
            candidate.root = MakeLink(path);
        } else {
            candidate.state = CandidateState::Folder;
            Check(MakeFolders(path), path);
            // Most candidates are removable: only dot-named folders at the top.
            Fill(candidate.root, 0, Roll(100) < 30);
        }
        ++figures_.candidates[static_cast<int>(candidate.state)];
        return candidate;
    }

    // Entries next to the candidates that look like theirs.
    void MakeNeighbours(const std::wstring& folder)
    {
        for (const wchar_t* name : {L"夸沃科技 旧版\\app.lnk", L"Quorvale Tools\\app.lnk", L"Quorvale.url",
                                    L"夸沃科技.lnk", L"Other Maker\\Quorvale\\app.lnk"}) {
            if (Roll(2) == 0) {
                Check(MakeFile(folder + L"\\" + name), name);
            }
        }
    }

private:
    int Roll(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
    template <typename T>
    const T& Pick(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(Roll(static_cast<int>(items.size())))];
    }
    void Check(bool made, const std::wstring& path)
    {
        if (!made) {
            ++figures_.seedingFailures;
            figures_.Problem("could not seed " + Narrow(path));
        }
    }

    void Fill(Entry& folder, int depth, bool plainSubfolders)
    {
        const int count = Roll(6);
        for (int i = 0; i < count; ++i) {
            const bool dotNamed = !plainSubfolders || Roll(3) == 0;
            // Numbered, so that names never repeat within a folder.
            const std::wstring number = std::to_wstring(i);
            const std::wstring folderName =
                dotNamed ? Pick(kDotNames) + L" " + number : number + L" " + Pick(kFolderNames);
            const std::wstring fileName = number + L" " + Pick(kFileNames);
            const int roll = Roll(100);
            if (roll < 6 && unreachable_) {
                folder.children.push_back(MakeUnreachable(folder.path, folderName, Roll(2) == 0));
            } else if (roll < 11 && links_ && depth < 2) {
                folder.children.push_back(MakeLink(folder.path + L"\\" + folderName));
            } else if (roll < 19 && readOnly_) {
                folder.children.push_back(MakeFileEntry(folder.path + L"\\" + fileName, true));
            } else if (roll < 50 && depth < 3) {
                Entry child{folder.path + L"\\" + folderName, Kind::Folder};
                Check(MakeFolders(child.path), child.path);
                ++figures_.folders;
                Fill(child, depth + 1, true);
                folder.children.push_back(std::move(child));
            } else {
                folder.children.push_back(MakeFileEntry(folder.path + L"\\" + fileName, false));
            }
            Note(folder.children.back());
        }
    }

    void Note(const Entry& entry)
    {
        if (!AnsiCodePageHolds(NameOf(entry.path))) {
            ++figures_.foreignNames;
        }
        // Deeper seeds with longer names would need the walks' own limits.
        Check(entry.unreachable || entry.path.size() <= kLongestReachable, entry.path);
    }

    Entry MakeFileEntry(const std::wstring& path, bool readOnly)
    {
        Check(readOnly ? MakeReadOnlyFile(path) : MakeFile(path), path);
        ++(readOnly ? figures_.readOnly : figures_.files);
        return {path, readOnly ? Kind::ReadOnlyFile : Kind::File};
    }

    // A folder or file whose path only "\\?\" reaches, named after `name`.
    Entry MakeUnreachable(const std::wstring& parent, const std::wstring& name, bool isFolder)
    {
        const std::size_t pad = kShortestUnreachable > parent.size() + name.size() + 1
                                    ? kShortestUnreachable - parent.size() - name.size() - 1
                                    : 0;
        Entry entry{parent + L"\\" + name + std::wstring(pad, L'x'), isFolder ? Kind::Folder : Kind::File, true};
        if (isFolder) {
            Entry inside{entry.path + L"\\app.lnk", Kind::File, true};
            Check(MakeFile(LongPath(inside.path)), inside.path);
            entry.children.push_back(inside);
        } else {
            Check(MakeFile(LongPath(entry.path)), entry.path);
        }
        ++figures_.unreachable;
        return entry;
    }

    // A Unix link (the only kind Wine has) to a fresh folder outside every
    // candidate, holding files and perhaps a subfolder.
    Entry MakeLink(const std::wstring& path)
    {
        Entry link{path, Kind::FolderLink};
        const std::wstring target = outside_ + L"\\target " + std::to_wstring(targets_++);
        link.targetHasSubfolder = Roll(2) == 0;
        Check(MakeFile(target + L"\\keep.lnk"), target);
        if (link.targetHasSubfolder) {
            Check(MakeFile(target + L"\\sub\\keep.lnk"), target);
        }
        Check(MakeUnixLink(target, path), path);
        ++figures_.links;
        return link;
    }

    std::mt19937 random_;
    bool readOnly_;
    bool links_;
    bool unreachable_;
    std::wstring outside_;
    int targets_ = 0;
    Figures& figures_;
};

// --- what the pass should leave -------------------------------------------

struct Expected {
    std::set<std::wstring> survivors;
    int boxes = 0;
};

void AddWhole(const Entry& entry, std::set<std::wstring>& paths)
{
    paths.insert(entry.path);
    for (const Entry& child : entry.children) {
        AddWhole(child, paths);
    }
}

// Removing an entry the pass reaches: whether it goes. What stays goes into
// `expected`, with a box for each folder or link that stays. A link is
// removed as a link on Windows; Wine follows it in every call, so there it
// stays: either is right, its target is never touched.
bool Removes(const Entry& entry, Expected& expected)
{
    bool gone = true;
    switch (entry.kind) {
    case Kind::File:
        return true;
    case Kind::ReadOnlyFile:
        gone = false;
        break;
    case Kind::FolderLink:
        gone = !Exists(entry.path);
        expected.boxes += gone ? 0 : 1;
        break;
    case Kind::Folder:
        for (const Entry& child : entry.children) {
            if (child.unreachable) {
                AddWhole(child, expected.survivors);
                gone = false;
            } else {
                gone = Removes(child, expected) && gone;
            }
        }
        expected.boxes += gone ? 0 : 1;
        break;
    }
    if (!gone) {
        expected.survivors.insert(entry.path);
    }
    return gone;
}

bool HoldsCountedSubfolder(const Entry& folder)
{
    for (const Entry& child : folder.children) {
        if ((child.kind == Kind::Folder || child.kind == Kind::FolderLink) && NameOf(child.path)[0] != L'.') {
            return true;
        }
    }
    return false;
}

void Expect(const Candidate& candidate, Expected& expected)
{
    switch (candidate.state) {
    case CandidateState::Missing:
        return;
    case CandidateState::NotAFolder:  // no folder to search or remove
        expected.survivors.insert(candidate.root.path);
        return;
    case CandidateState::Link:  // counted through the link
        if (candidate.root.targetHasSubfolder) {
            expected.survivors.insert(candidate.root.path);
            return;
        }
        Removes(candidate.root, expected);
        return;
    case CandidateState::Folder:
        if (HoldsCountedSubfolder(candidate.root)) {
            AddWhole(candidate.root, expected.survivors);
            return;
        }
        Removes(candidate.root, expected);
        return;
    }
}

// Every path at and below the roots, links listed but never entered.
void AddTree(const std::wstring& folder, std::set<std::wstring>& paths)
{
    ForEachEntry(LongPath(folder) + L"\\", [&](const std::wstring& name, DWORD attributes) {
        const std::wstring entry = folder + L"\\" + name;
        paths.insert(entry);
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            AddTree(entry, paths);
        }
    });
}

std::set<std::wstring> Snapshot(const std::vector<std::wstring>& roots)
{
    std::set<std::wstring> paths;
    for (const std::wstring& root : roots) {
        AddTree(root, paths);
    }
    return paths;
}

void Judge(const std::vector<Candidate>& candidates, const std::set<std::wstring>& before,
           const std::set<std::wstring>& after, int boxesShown, const std::string& where, Figures& figures)
{
    Expected expected;
    for (const Candidate& candidate : candidates) {
        Expect(candidate, expected);
    }
    for (const std::wstring& path : before) {
        bool inCandidate = false;
        for (const Candidate& candidate : candidates) {
            inCandidate = inCandidate || IsAtOrBelow(path, candidate.root.path);
        }
        const bool stays = after.count(path) != 0;
        if (!inCandidate) {
            if (!stays) {
                ++figures.removedOutside;
                figures.Problem(where + ": removed outside the candidates: " + Narrow(path));
            }
            continue;
        }
        const bool shouldStay = expected.survivors.count(path) != 0;
        ++(stays ? figures.kept : figures.removed);
        if (stays != shouldStay) {
            ++(stays ? figures.stayedButShouldGo : figures.goneButShouldStay);
            figures.Problem(where + (stays ? ": stayed: " : ": removed: ") + Narrow(path));
        }
    }
    for (const std::wstring& path : after) {
        if (!before.count(path)) {
            ++figures.appeared;
            figures.Problem(where + ": appeared: " + Narrow(path));
        }
    }
    figures.boxesExpected += expected.boxes;
    figures.boxesShown += boxesShown;
    if (boxesShown != expected.boxes) {
        ++figures.boxMismatches;
        figures.Problem(where + ": " + std::to_string(boxesShown) + " warning boxes, expected "
                        + std::to_string(expected.boxes));
    }
}

// --- the removal pass on a scratch area -------------------------------------

void PassOnScratchLayout(unsigned seed, Figures& figures)
{
    const ScratchFolder scratch;
    const std::wstring root = scratch.Path().substr(0, scratch.Path().size() - 1);
    const std::wstring user = root + L"\\user\\Programs";
    const std::wstring allUsers = root + L"\\all\\Programs";
    Seeder seeder(seed, true, true, true, root + L"\\outside", figures);
    std::vector<Candidate> candidates;
    for (const std::wstring& path : {user + L"\\夸沃科技", allUsers + L"\\夸沃科技", user + L"\\Quorvale",
                                     allUsers + L"\\Quorvale"}) {
        candidates.push_back(seeder.MakeCandidate(path));
    }
    seeder.MakeNeighbours(user);
    seeder.MakeNeighbours(allUsers);
    const std::set<std::wstring> before = Snapshot({root});

    MessageBoxRecorder boxes;
    std::array<CString, 4> paths;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        paths[i] = candidates[i].root.path + L"\\";
    }
    RemoveCandidateFolders(paths);

    Judge(candidates, before, Snapshot({root}), static_cast<int>(boxes.Boxes().size()),
          "seed " + std::to_string(seed), figures);
    RemoveTreeFromUnix(LongPath(root));
    ++figures.layouts;
}

// --- the real program on the prefix's Start Menus ------------------------

// Runs sweepon.exe as `version`, answering its boxes; how many it showed.
int RunSweeponAnsweringBoxes(WindowsVersion version, const std::string& where, Figures& figures)
{
    const wintest::VersionedProgram sweepon(wintest::ProgramFolder() + L"sweepon.exe", version);
    const wintest::RunningProgram run = sweepon.Start();
    if (!sweepon.IsReady() || !run.IsStarted()) {
        ++figures.unfinishedRuns;
        figures.Problem(where + ": sweepon.exe did not start");
        return 0;
    }
    int boxes = 0;
    const DWORD started = GetTickCount();
    while (!run.Wait(20)) {
        if (GetTickCount() - started > 120000) {
            ++figures.unfinishedRuns;
            figures.Problem(where + ": sweepon.exe still running after 120 s");
            return boxes;
        }
        if (const HWND box = FindShownBox(run.Id())) {
            ++boxes;
            PressOk(box);
            WaitUntilClosed(box, 20000);
        }
    }
    if (run.ExitCode() != 0) {
        ++figures.unfinishedRuns;
        figures.Problem(where + ": exit status " + std::to_string(run.ExitCode()));
    }
    return boxes;
}

bool UsesWindows7Layout(WindowsVersion version)
{
    return version == WindowsVersion::Windows10 || version == WindowsVersion::Windows81
           || version == WindowsVersion::Windows8 || version == WindowsVersion::Windows7;
}

void RunOnStartMenus(unsigned seed, WindowsVersion version, bool foreignProfile, bool everything,
                     Figures& figures)
{
    const std::string where = "run seed " + std::to_string(seed) + " as "
                              + Narrow(wintest::WineVersionSetting(version))
                              + (foreignProfile ? " in a profile outside the code page" : "");
    // 用户 ผู้ใช้: Chinese and Thai, which no ANSI code page holds both of.
    std::optional<RedirectedUserStartMenu> redirected;
    if (foreignProfile) {
        redirected.emplace(L"C:\\users\\\u7528\u6237 \u0E1C\u0E39\u0E49\u0E43\u0E0A\u0E49\\Start Menu");
        if (!redirected->IsActive()) {
            std::printf("note: %s: the shell gives no Start Menu there; the usual one is used\n", where.c_str());
        }
    }
    const ScratchFolder outside;
    ClearStartMenus();
    SeedNeighbours();
    Seeder seeder(seed, everything, everything, false, outside.Path() + L"targets", figures);
    // The other layout's maker folders are neighbours too.
    const MakerFolders used = UsesWindows7Layout(version) ? Windows7LayoutFolders() : OlderLayoutFolders();
    const MakerFolders other = UsesWindows7Layout(version) ? OlderLayoutFolders() : Windows7LayoutFolders();
    for (const std::wstring& folder : other) {
        MakeFile(folder + L"\\app.lnk");
    }
    std::vector<Candidate> candidates;
    for (const std::wstring& folder : used) {
        candidates.push_back(seeder.MakeCandidate(folder));
    }
    const std::vector<std::wstring> roots = {UserStartMenu(), AllUsersStartMenu(), L"C:\\Documents and Settings",
                                             outside.Path() + L"targets"};
    const std::set<std::wstring> before = Snapshot(roots);

    const int boxes = RunSweeponAnsweringBoxes(version, where, figures);

    Judge(candidates, before, Snapshot(roots), boxes, where, figures);
    ClearStartMenus();
    ++figures.runs;
}

// --- the run ----------------------------------------------------------------

Options ReadOptions(int argc, wchar_t** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == L"--short") {
            options.layouts = 60;
            options.runs = 3;
            options.everythingInRuns = false;
        } else if (option == L"--seed" && hasValue) {
            options.seed = static_cast<unsigned>(std::wcstoul(argv[++i], nullptr, 10));
        } else if (option == L"--layouts" && hasValue) {
            options.layouts = _wtoi(argv[++i]);
        } else if (option == L"--runs" && hasValue) {
            options.runs = _wtoi(argv[++i]);
        }
    }
    return options;
}

void Print(const Options& options, const Figures& f, DWORD elapsedMs)
{
    std::printf("sweepon stress: seed %u, %d layouts of the removal pass, %d runs of sweepon.exe, %.1f s\n",
                options.seed, f.layouts, f.runs, elapsedMs / 1000.0);
    std::printf("  candidates: %d folders, %d links, %d not folders, %d missing\n", f.candidates[1],
                f.candidates[3], f.candidates[2], f.candidates[0]);
    std::printf("  seeded: %d folders, %d files, %d read-only, %d links out, %d too long for the calls, "
                "%d names outside code page %u\n",
                f.folders, f.files, f.readOnly, f.links, f.unreachable, f.foreignNames, GetACP());
    std::printf("  in the candidates: %d entries removed, %d kept\n", f.removed, f.kept);
    std::printf("  warning boxes: %d shown, %d expected\n", f.boxesShown, f.boxesExpected);
    std::printf("  goals (each 0): removed outside %d, appeared %d, stayed but should go %d, "
                "gone but should stay %d, box counts wrong %d, runs unfinished %d, seeding failed %d\n",
                f.removedOutside, f.appeared, f.stayedButShouldGo, f.goneButShouldStay, f.boxMismatches,
                f.unfinishedRuns, f.seedingFailures);
    for (const std::string& problem : f.problems) {
        std::printf("  problem: %s\n", problem.c_str());
    }
}

}  // namespace
}  // namespace sweepon_test

int wmain(int argc, wchar_t** argv)
{
    using namespace sweepon_test;
    const Options options = ReadOptions(argc, argv);
    Figures figures;
    const DWORD started = GetTickCount();
    for (int i = 0; i < options.layouts; ++i) {
        PassOnScratchLayout(options.seed + static_cast<unsigned>(i), figures);
    }
    // The first runs always cover both layouts and a profile outside the code page.
    const WindowsVersion versions[] = {WindowsVersion::Windows10, WindowsVersion::WindowsXP,
                                       WindowsVersion::Windows7,  WindowsVersion::Vista,
                                       WindowsVersion::Windows81, WindowsVersion::Server2008R2};
    for (int i = 0; i < options.runs; ++i) {
        const unsigned seed = options.seed + 1000000u + static_cast<unsigned>(i);
        RunOnStartMenus(seed, versions[i % 6], i % 3 == 0, options.everythingInRuns, figures);
    }
    Print(options, figures, GetTickCount() - started);
    std::fflush(stdout);
    if (figures.Missed() != 0) {
        std::printf("sweepon stress: goal missed\n");
        return 1;
    }
    std::printf("sweepon stress: goals met\n");
    return 0;
}
