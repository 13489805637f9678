#include "tests/support/test_support.h"

#include "tests/victim/victim_protocol.h"

#include <cstdio>

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
    DWORD start = GetTickCount();
    for (;;) {
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
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory(path, length);
    return directory.substr(0, directory.find_last_of("\\/") + 1);
}

Victim::Victim()
{
    std::string command = "\"" + ExeDirectory() + VICTIM_EXE + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    char title[32];
    std::snprintf(title, sizeof title, "victim %lu", processId_);
    WaitFor([&] { return (control_ = FindWindowA(VICTIM_CONTROL_CLASS, title)) != nullptr; }, 10000);
}

Victim::~Victim()
{
    if (control_) {
        DWORD_PTR ignored;
        std::string quit = "quit";
        COPYDATASTRUCT data = {0, static_cast<DWORD>(quit.size()), &quit[0]};
        SendMessageTimeoutA(control_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                            SMTO_ABORTIFHUNG, 2000, &ignored);
    }
    if (process_) {
        if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0)
            TerminateProcess(process_, 1);
        CloseHandle(process_);
    }
}

LRESULT Victim::Send(const std::string &command)
{
    if (!control_)
        return 0;
    std::string copy = command;
    COPYDATASTRUCT data = {0, static_cast<DWORD>(copy.size()), &copy[0]};
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutA(control_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), 0, 30000,
                             &reply))
        return 0;
    return static_cast<LRESULT>(reply);
}

HWND Victim::Create(const std::string &className, const std::string &title)
{
    return reinterpret_cast<HWND>(Send("create " + className + "|" + title));
}
