// Driving the real brask2.exe from another process, as a user's tools would:
// the program started in a working directory of its own and its dialogs
// found. Shared by the program's tests and its start-up benchmark.
#pragma once

#include "common/resource.h"
#include "tests/support/test_rule.h"
#include "tests/support/test_support.h"

#include <windows.h>
#include <shellapi.h>

#include <fstream>
#include <string>
#include <vector>

namespace black_box {

namespace fs = std::filesystem;
constexpr DWORD Timeout = 10000;

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
struct Program : Process {
    // folder ends with a backslash, as ExeDirectory() does.
    void Start(const std::string &folder, const Folder &working)
    {
        Process::Start("\"" + folder + "brask2.exe\"", working.path.string().c_str());
    }
};

// A dialog captioned caption once it is visible: a message box, or the main
// dialog once its rule list holds at least rows rules. One program
// runs at a time, so its windows are the only ones with their captions.
inline HWND WaitForDialog(const char *caption, size_t rows = 0, DWORD timeoutMs = Timeout)
{
    HWND found = nullptr;
    auto shown = [&] {
        found = FindWindowA("#32770", caption);
        LRESULT count = SendDlgItemMessageA(found, IDC_MAIN_RULES, LB_GETCOUNT, 0, 0);
        return IsWindowVisible(found) && count >= static_cast<LRESULT>(rows);
    };
    return WaitFor(shown, timeoutMs) ? found : nullptr;
}

// Changing nothing succeeds only for an icon that is there.
inline bool TrayIconExists(HWND owner)
{
    NOTIFYICONDATAA probe = {NOTIFYICONDATAA_V1_SIZE, owner, 0, 0};
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

} // namespace black_box
