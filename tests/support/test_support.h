// What the window tests and the benchmarks share: polling with a timeout while messages
// flow, processes, window classes, the victim (both ends), and folders of their own.
#pragma once

#include "tests/victim/victim_protocol.h"

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

// True once condition holds within timeoutMs; this thread's messages are
// dispatched meanwhile.
bool WaitFor(const std::function<bool()> &condition, DWORD timeoutMs = 5000);
void PumpMessages();

// The folder of the running test program, with a trailing backslash.
std::string ExeDirectory();

// Registers a window class of this program, once; its name.
const char *TestWindowClass(const char *name, WNDPROC procedure = DefWindowProcA);

// A program this one started, in directory if given; ended by its handle if
// it still runs when the object goes.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;

    bool Start(std::string commandLine, const char *directory = nullptr);
    bool Running() const { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }
    DWORD Id() const { return id_; }
    // The exit code once it has ended within timeoutMs, else STILL_ACTIVE.
    DWORD ExitCode(DWORD timeoutMs = 10000) const;

private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// A victim program (tests/victim, its build of the other bitness, or the
// benchmarks' own) from this folder, given up on at once if it dies,
// ended with the object by its quit command or, failing that, by its handle.
class Victim {
public:
    explicit Victim(const char *exe = VICTIM_EXE);
    ~Victim();

    bool Running() const { return control_ != nullptr; }
    // One command of victim_protocol.h; its reply.
    LRESULT Send(const std::string &command);
    HWND Create(const std::string &className, const std::string &title)
    {
        return reinterpret_cast<HWND>(Send("create " + className + "|" + title));
    }

private:
    Process process_;
    HWND control_ = nullptr;
};

// The victim's side: its control window, whose commands (victim_protocol.h),
// "verb first|rest" with first also read as a window, go to command; then the
// message loop; the exit code of the program.
struct VictimCommand { std::string verb, first, rest; HWND window; };
int ServeVictim(HINSTANCE instance, LRESULT (*command)(HWND control, const VictimCommand &));

// A fresh folder under the temporary directory, removed with its contents.
struct Folder {
    static inline int serial = 0;
    std::filesystem::path path = std::filesystem::temp_directory_path() /
        ("tarnwick-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial));
    Folder() { std::filesystem::create_directory(path); }
    ~Folder() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
    std::string operator/(const char *name) const { return (path / name).string(); }
};
