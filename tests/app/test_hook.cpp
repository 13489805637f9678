// Stand-ins for brask2.dll that the start-up tests put beside (or in front
// of) the program, one per way the real library can fail it. Which one this
// is comes from the compile definition HOOK_VARIANT.
#include <windows.h>

#include <cstdio>

#define VARIANT_PLANTED 1     // leaves planted.mark in the working directory when loaded
#define VARIANT_NO_INSTALL 2  // lacks the InstallHook export
#define VARIANT_NO_RELEASE 3  // lacks the ReleaseHook export
#define VARIANT_REFUSE 4      // InstallHook fails with ERROR_ACCESS_DENIED
#define VARIANT_REFUSE_UNKNOWN 5  // InstallHook fails with a code the system has no text for
#define VARIANT_PROBE 6       // installs nothing; notes its arguments; crashes on request

namespace {

// Read by the tests: InstallHook's arguments, as the program passed them.
[[maybe_unused]] void NoteArguments(HWND notify, UINT create, UINT ignored, UINT activate)
{
    FILE *file = std::fopen("install.txt", "w");
    if (!file)
        return;
    std::fprintf(file, "%lu %u %u %u\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(notify)),
                 create, ignored, activate);
    std::fclose(file);
}

#if HOOK_VARIANT == VARIANT_PROBE
// A window on the program's own thread; WM_APP to it faults there, as a
// bug of the program's own would.
LRESULT CALLBACK CrashProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        volatile int *nowhere = nullptr;
        *nowhere = 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Installed before the program's own filter, so it runs only if the program
// passes the fault on; it ends the process at once instead of holding it
// for a debugger, as Wine would.
LONG WINAPI EndWithoutDebugger(EXCEPTION_POINTERS *exception)
{
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

void CreateCrashProbe()
{
    SetUnhandledExceptionFilter(EndWithoutDebugger);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CrashProbeProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TarnwickCrashProbe";
    RegisterClassA(&wc);
    CreateWindowExA(0, wc.lpszClassName, "crash probe", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                    wc.hInstance, nullptr);
}
#endif

} // namespace

#if HOOK_VARIANT == VARIANT_PLANTED
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        FILE *mark = std::fopen("planted.mark", "w");
        if (mark)
            std::fclose(mark);
    }
    return TRUE;
}
#endif

#if HOOK_VARIANT != VARIANT_NO_INSTALL
extern "C" __declspec(dllexport) int __cdecl InstallHook(HWND notify, UINT create, UINT ignored,
                                                         UINT activate)
{
    NoteArguments(notify, create, ignored, activate);
#if HOOK_VARIANT == VARIANT_REFUSE
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
#elif HOOK_VARIANT == VARIANT_REFUSE_UNKNOWN
    SetLastError(0x20000001);
    return 0;
#else
#if HOOK_VARIANT == VARIANT_PROBE
    CreateCrashProbe();
#endif
    return 1;
#endif
}
#endif

#if HOOK_VARIANT != VARIANT_NO_RELEASE
extern "C" __declspec(dllexport) int __cdecl ReleaseHook()
{
    return 1;
}
#endif
