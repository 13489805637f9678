// The program's own windows of window_tests: MainWindow and PickerWindow bare,
// MainDialog the real template with no procedure but its event controls.
#include "events/window_events.h"

#include "common/resource.h"
#include "tests/support/window_test.h"

void CreateTestWindows()
{
    MainWindow = OwnWindow();
    PickerWindow = OwnWindow();
    MainDialog = CreateDialogA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, nullptr);
    InitEventControls(MainDialog);
    SetEventDelay(0);
}
