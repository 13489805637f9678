// Start-up pieces of the application shell: the failure box, the library
// search order, the window classes, and the crash safety net.
#include "app/startup.h"

#include "actions/window_actions.h"
#include "app/main_window.h"
#include "common/app_state.h"
#include "common/error_text.h"
#include "common/export.h"
#include "common/resource.h"
#include "ui/window_picker.h"

#include <exception>

void ShowLastError(const char *name)
{
    MessageBoxA(nullptr, SystemErrorText(GetLastError()).c_str(), name, MB_OK | MB_ICONINFORMATION);
}

void ExcludeWorkingDirectoryFromDllSearch()
{
    // Only SetDefaultDllDirectories removes the working directory under
    // every loader we meet; it is missing on systems without KB2533623,
    // where SetDllDirectoryA("") does the same job.
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFunction)(DWORD);
    auto setDefault = LookUpExport<SetDefaultDllDirectoriesFunction>(
        GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS))
        SetDllDirectoryA("");
}

HICON RegisterWindowClasses(HINSTANCE instance)
{
    RegisterPickerClass(instance);
    return RegisterMainWindowClass(instance);
}

namespace {

LPTOP_LEVEL_EXCEPTION_FILTER previousFilter;
std::terminate_handler previousTerminate;
LONG restoring;

// At most once: a fault inside the restoring itself must not loop.
void RestoreOnce()
{
    if (InterlockedExchange(&restoring, 1) == 0)
        RestoreAllWindows();
}

LONG WINAPI RestoreThenPassOn(EXCEPTION_POINTERS *exception)
{
    RestoreOnce();
    return previousFilter ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

// An uncaught C++ exception ends in abort(), which no exception filter sees.
void RestoreThenTerminate()
{
    RestoreOnce();
    if (previousTerminate)
        previousTerminate();
    std::abort();
}

} // namespace

void RestoreWindowsOnCrash()
{
    previousFilter = SetUnhandledExceptionFilter(RestoreThenPassOn);
    previousTerminate = std::set_terminate(RestoreThenTerminate);
}
