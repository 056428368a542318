#include "TQUninstall.h"

#include "FolderPaths.h"
#include "FolderRemoval.h"
#include "StartMenuFolder.h"
#include "WarningLog.h"
#include "WindowsVersion.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

CTQUninstallApp theApp;

namespace {

struct LocalFreer {
    void operator()(LPWSTR* memory) const { LocalFree(memory); }
};

// The program's arguments, its own name left out.
std::vector<std::wstring> CommandLineArguments()
{
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!arguments || count < 1) {
        return {};
    }
    return std::vector<std::wstring>(arguments.get() + 1, arguments.get() + count);
}

}  // namespace

CTQUninstallApp::CTQUninstallApp()
{
    m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART;
}

BOOL CTQUninstallApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    AfxEnableControlContainer();

    // Run by an uninstaller, nobody may be there to close a box.
    if (std::optional<std::wstring> log = sweepon::WarningLogPath(CommandLineArguments())) {
        SendWarningsToLog(std::move(*log));
    }

    // A Start Menu without a file-system path leaves nothing to look in.
    const std::optional<CString> userStartMenu = QueryUserStartMenu();
    if (!userStartMenu) {
        return FALSE;
    }
    const sweepon::StartMenuLayout layout = sweepon::LayoutForVersionName(GetWindowsVersionName());
    RemoveCandidateFolders(sweepon::BuildCandidateFolders(*userStartMenu, layout));
    return FALSE;
}
