// What the window tests share: polling with a timeout while this thread's
// messages keep flowing, the victim process, and folders of their own.
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

// The victim program (tests/victim), or its build of the other bitness,
// ended with the object by its quit command or, failing that, by its handle.
class Victim {
public:
    explicit Victim(const char *exe = VICTIM_EXE);
    ~Victim();
    Victim(const Victim &) = delete;
    Victim &operator=(const Victim &) = delete;

    bool Running() const { return control_ != nullptr; }
    // One command of victim_protocol.h; its reply.
    LRESULT Send(const std::string &command);
    HWND Create(const std::string &className, const std::string &title)
    {
        return reinterpret_cast<HWND>(Send("create " + className + "|" + title));
    }

private:
    HANDLE process_ = nullptr;
    HWND control_ = nullptr;
};

// A fresh folder under the temporary directory, removed with its contents.
struct Folder {
    static inline int serial = 0;
    std::filesystem::path path = std::filesystem::temp_directory_path() /
        ("tarnwick-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial));
    Folder() { std::filesystem::create_directory(path); }
    ~Folder() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
    std::string operator/(const char *name) const { return (path / name).string(); }
};
