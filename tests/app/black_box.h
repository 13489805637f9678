// Driving the real brask2.exe from another process, as a user's tools would:
// the program started in a working directory of its own and its dialogs
// found. Shared by the program's tests and its start-up benchmark.
#pragma once

#include "rules/rule.h"
#include "tests/support/test_support.h"

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

namespace black_box {

namespace fs = std::filesystem;
constexpr DWORD Timeout = 10000;

inline Rule TitleRule(int32_t event, const char *title, int32_t action)
{
    Rule rule{event, true};
    lstrcpynA(rule.title, title, sizeof rule.title);
    rule.action = action;
    return rule;
}

inline void WriteRules(const std::string &path, const std::vector<Rule> &rules)
{
    std::ofstream file(path, std::ios::binary);
    for (const Rule &rule : rules) {
        unsigned char record[RuleRecordSize];
        EncodeRule(rule, record);
        file.write(reinterpret_cast<const char *>(record), sizeof record);
    }
}

// brask2.exe of a folder started in a working directory; ended by its handle
// if it is still running when the object goes.
class Program {
public:
    ~Program()
    {
        if (process_ && ExitCode(0) == STILL_ACTIVE)
            TerminateProcess(process_, 1);
        CloseHandle(process_);
    }

    // folder ends with a backslash, as ExeDirectory() does.
    void Start(const std::string &folder, const Folder &working)
    {
        std::string command = "\"" + folder + "brask2.exe\"";
        STARTUPINFOA startup = {sizeof startup};
        PROCESS_INFORMATION info = {};
        if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                           working.path.string().c_str(), &startup, &info))
            CloseHandle(info.hThread);
        process_ = info.hProcess;
    }

    // The exit code once the program has ended within timeoutMs, else STILL_ACTIVE.
    DWORD ExitCode(DWORD timeoutMs = Timeout) const
    {
        DWORD code = STILL_ACTIVE;
        if (WaitFor([&] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, timeoutMs))
            GetExitCodeProcess(process_, &code);
        return code;
    }

private:
    HANDLE process_ = nullptr;
};

// A dialog captioned caption once it is visible: a message box, or the main
// dialog once its rule list (1021) holds at least rows rules. One program
// runs at a time, so its windows are the only ones with their captions.
inline HWND WaitForDialog(const char *caption, size_t rows = 0, DWORD timeoutMs = Timeout)
{
    HWND found = nullptr;
    auto shown = [&] {
        found = FindWindowA("#32770", caption);
        LRESULT count = SendDlgItemMessageA(found, 1021, LB_GETCOUNT, 0, 0);
        return IsWindowVisible(found) && count >= static_cast<LRESULT>(rows);
    };
    return WaitFor(shown, timeoutMs) ? found : nullptr;
}

} // namespace black_box
