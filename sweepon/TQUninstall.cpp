#include "TQUninstall.h"

#include "FolderPaths.h"
#include "FolderRemoval.h"
#include "StartMenuFolder.h"
#include "WindowsVersion.h"

#include <commctrl.h>

CTQUninstallApp theApp;

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

    // A Start Menu without a file-system path leaves nothing to look in.
    const std::optional<CString> userStartMenu = QueryUserStartMenu();
    if (!userStartMenu) {
        return FALSE;
    }
    const sweepon::StartMenuLayout layout = sweepon::LayoutForVersionName(GetWindowsVersionName());
    RemoveCandidateFolders(sweepon::BuildCandidateFolders(*userStartMenu, layout));
    return FALSE;
}
