#include "tests/support/test_support.h"

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool WaitFor(const std::function<bool()> &condition, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount();;) {
        PumpMessages();
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

std::string ExeDirectory()
{
    char path[MAX_PATH];
    std::string directory(path, GetModuleFileNameA(nullptr, path, sizeof path));
    return directory.substr(0, directory.find_last_of("\\/") + 1);
}

// Every command waits a bounded time: a hung victim must not hang the tests.
static LRESULT Call(HWND control, std::string command, UINT flags, UINT timeoutMs)
{
    COPYDATASTRUCT data = {0, static_cast<DWORD>(command.size()), &command[0]};
    DWORD_PTR reply = 0;
    SendMessageTimeoutA(control, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), flags, timeoutMs,
                        &reply);
    return static_cast<LRESULT>(reply);
}

Victim::Victim(const char *exe)
{
    std::string command = "\"" + ExeDirectory() + exe + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    std::string title = "victim " + std::to_string(info.dwProcessId);
    WaitFor([&] {
        control_ = FindWindowA(VICTIM_CONTROL_CLASS, title.c_str());
        return control_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
    }, 10000);
}

Victim::~Victim()
{
    Call(control_, "quit", SMTO_ABORTIFHUNG, 2000);
    if (process_ && WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0)
        TerminateProcess(process_, 1);
    CloseHandle(process_);
}

LRESULT Victim::Send(const std::string &command) { return Call(control_, command, 0, 30000); }
