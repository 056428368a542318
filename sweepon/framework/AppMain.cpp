// The program's entry point: runs the one application object. Linked only
// into programs, so that test executables keep their own main.
#include "WinApp.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPWSTR /*commandLine*/,
                    int /*show*/)
{
    return AfxWinMain();
}
