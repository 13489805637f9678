// Start-up pieces of the application shell: the failure box, the library
// search order, the window classes, and the crash safety net.
#include "app/startup.h"

#include "actions/window_actions.h"
#include "app/main_window.h"
#include "common/app_state.h"
#include "common/resource.h"
#include "ui/window_picker.h"

#include <cstdio>
#include <exception>

static void FormatErrorFallback(DWORD code, char *buffer, size_t size)
{
    std::snprintf(buffer, size, "Error %lu (0x%08lX)", static_cast<unsigned long>(code),
                  static_cast<unsigned long>(code));
}

void ShowLastError(const char *name)
{
    DWORD code = GetLastError();
    char *text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                      FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                  nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<char *>(&text), 0, nullptr);
    // Code 0 has the system text "The operation completed successfully",
    // which would read as a contradiction under the caption of a failure.
    char fallback[64];
    if (length == 0 || text == nullptr || code == ERROR_SUCCESS) {
        FormatErrorFallback(code, fallback, sizeof fallback);
        MessageBoxA(nullptr, fallback, name, MB_OK | MB_ICONINFORMATION);
    } else {
        MessageBoxA(nullptr, text, name, MB_OK | MB_ICONINFORMATION);
    }
    LocalFree(text);
}

void ExcludeWorkingDirectoryFromDllSearch()
{
    // Only SetDefaultDllDirectories removes the working directory under
    // every loader we meet; it is missing on systems without KB2533623,
    // where SetDllDirectoryA("") does the same job.
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFunction)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
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
