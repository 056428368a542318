// Runs a Windows program under Wine as if on a chosen Windows version.
//
// Wine reports the version named by its "Version" setting, and lets each
// program have its own: HKCU\Software\Wine\AppDefaults\<program.exe>\Version.
// VersionedProgram copies a program under a name of its own (next to the
// original, so that its DLLs are still found) and gives that name the
// setting, so tests running at the same time never change each other's
// version, nor the prefix's. The copy and its setting go away with the object.
#pragma once

#include <windows.h>

#include <string>

namespace wintest {

enum class WindowsVersion {
    WindowsXP,
    Server2003,
    Vista,
    Server2008,
    Windows7,
    Server2008R2,
    Windows8,
    Windows81,
    Windows10,
};

// The value of Wine's Version setting that makes Wine report `version`.
const wchar_t* WineVersionSetting(WindowsVersion version);

// A started program; ended by force if it is still running when this goes
// away, so a test that fails half-way never leaves a process behind.
class RunningProgram {
public:
    RunningProgram() = default;
    explicit RunningProgram(const PROCESS_INFORMATION& process);
    RunningProgram(RunningProgram&& other) noexcept;
    RunningProgram& operator=(RunningProgram&& other) noexcept;
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram();

    bool IsStarted() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }
    // True once the program has ended (waiting up to timeoutMs).
    bool Wait(DWORD timeoutMs) const;
    // The exit code of an ended program (STILL_ACTIVE while it runs).
    DWORD ExitCode() const;

private:
    void End();

    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

struct ProgramResult {
    bool started = false;
    bool finished = false;   // false: still running after the timeout, then ended
    DWORD exitCode = 0;
    std::string output;      // standard output and standard error, as bytes
};

class VersionedProgram {
public:
    VersionedProgram(const std::wstring& program, WindowsVersion version);
    VersionedProgram(const VersionedProgram&) = delete;
    VersionedProgram& operator=(const VersionedProgram&) = delete;
    ~VersionedProgram();

    // False when the copy or its setting could not be made.
    bool IsReady() const { return ready_; }
    const std::wstring& Path() const { return copy_; }

    // Runs the copy with `arguments` and waits for it.
    ProgramResult Run(const std::wstring& arguments = L"", DWORD timeoutMs = 30000) const;
    // Starts the copy and returns at once.
    RunningProgram Start(const std::wstring& arguments = L"") const;

private:
    std::wstring copy_;
    std::wstring settingKey_;
    bool ready_ = false;
};

// Runs the program at `path` with `arguments` and waits for it, as
// VersionedProgram::Run does, under the prefix's own Windows version.
ProgramResult RunProgram(const std::wstring& path, const std::wstring& arguments = L"",
                         DWORD timeoutMs = 30000);

// The folder of the running test program, with a trailing backslash: the
// programs a test runs are built next to it.
std::wstring ProgramFolder();

}  // namespace wintest
