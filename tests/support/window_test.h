// The fixture of the tests on real windows: the program's own windows, made
// by each test program as it needs them, a victim process whose windows they
// act on, and nothing left hidden, cloaked, ruled or open after a test.
#pragma once

#include "actions/window_actions.h"
#include "common/app_state.h"
#include "rules/rule_set.h"
#include "tests/support/test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

// Defined by each test program: MainWindow, and MainDialog and PickerWindow where it needs them.
void CreateTestWindows();

class WindowTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        appInstance = GetModuleHandleA(nullptr);
        victim = new Victim;
    }
    static void TearDownTestSuite() { delete victim; }
    void SetUp() override
    {
        ASSERT_TRUE(victim->Running());
        CreateTestWindows();
        ASSERT_NE(MainWindow, nullptr);
    }
    // Cloaked windows go back to the desktop first: they would die with MainWindow otherwise.
    void TearDown() override
    {
        RestoreAllWindows();
        for (HWND window : targets)
            Destroy(window);
        for (HWND *own : {&MainDialog, &PickerWindow, &MainWindow})
            DestroyWindow(std::exchange(*own, nullptr));
        ruleSet.Clear();
    }
    // A window of the victim, 400x300 at 200,150, destroyed after the test.
    HWND Target(const char *title = "Target", const char *className = "VictimTarget")
    {
        return targets.emplace_back(victim->Create(className, title));
    }
    static void Destroy(HWND window) { victim->Send("destroy " + std::to_string(uintptr_t(window))); }

    static inline Victim *victim = nullptr;
    std::vector<HWND> targets;
};

inline HWND OwnWindow(DWORD style = WS_POPUP, HWND owner = nullptr)
{
    return CreateWindowExA(0, "STATIC", "", style, 0, 0, 300, 200, owner, nullptr, appInstance, {});
}

inline std::vector<std::string> ListRows(HWND listBox)
{
    std::vector<std::string> rows(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
    char text[512];
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].assign(text, SendMessageA(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text)));
    return rows;
}
