#include "tests/support/test_support.h"

#include <cstdlib>

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

const char *TestWindowClass(const char *name, WNDPROC procedure)
{
    WNDCLASSA wc = {0, procedure, 0, 0, GetModuleHandleA(nullptr), nullptr,
                    LoadCursorA(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                    nullptr, name};
    RegisterClassA(&wc);  // fails, harmlessly, once the class is there
    return name;
}

bool Process::Start(std::string commandLine, const char *directory)
{
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    handle_ = info.hProcess;
    id_ = info.dwProcessId;
    return true;
}

DWORD Process::ExitCode(DWORD timeoutMs) const
{
    DWORD code = STILL_ACTIVE;
    if (handle_ && WaitFor([&] { return !Running(); }, timeoutMs))
        GetExitCodeProcess(handle_, &code);
    return code;
}

Process::~Process()
{
    if (Running())
        TerminateProcess(handle_, 1);
    if (handle_)
        CloseHandle(handle_);
}

static std::string VictimTitle(DWORD processId) { return "victim " + std::to_string(processId); }

Victim::Victim(const char *exe)
{
    if (!process_.Start("\"" + ExeDirectory() + exe + "\""))
        return;
    std::string title = VictimTitle(process_.Id());
    WaitFor([&] {
        control_ = FindWindowA(VICTIM_CONTROL_CLASS, title.c_str());
        return control_ || !process_.Running();
    }, 10000);
}

Victim::~Victim()
{
    Call(control_, "quit", SMTO_ABORTIFHUNG, 2000);
    process_.ExitCode(5000);
}

LRESULT Victim::Send(const std::string &command) { return Call(control_, command, 0, 30000); }

static LRESULT (*victimCommand)(HWND, const VictimCommand &);

static LRESULT CALLBACK VictimControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COPYDATA)
        return DefWindowProcA(control, message, wParam, lParam);
    auto *data = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
    std::string line(static_cast<const char *>(data->lpData), data->cbData);
    size_t space = line.find(' '), bar = line.find('|');
    VictimCommand command = {line.substr(0, space), line.substr(space + 1, bar - space - 1),
                             bar == std::string::npos ? std::string() : line.substr(bar + 1)};
    command.window = reinterpret_cast<HWND>(std::strtoul(command.first.c_str(), nullptr, 0));
    if (command.verb == "quit")
        PostQuitMessage(0);
    return victimCommand(control, command);
}

int ServeVictim(HINSTANCE instance, LRESULT (*command)(HWND, const VictimCommand &))
{
    victimCommand = command;
    // A message-only window would not be found by FindWindow from another
    // process; a hidden top-level one is.
    CreateWindowExA(0, TestWindowClass(VICTIM_CONTROL_CLASS, VictimControlProc),
                    VictimTitle(GetCurrentProcessId()).c_str(), WS_POPUP, 0, 0, 1, 1, nullptr,
                    nullptr, instance, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
