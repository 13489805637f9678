#include "common/app_state.h"

#include "common/resource.h"

char appCaption[AppStringSize] = "Tarnwick II";
char mainWindowClass[AppStringSize] = "BRASK2";
char pickerTitle[AppStringSize] = "Click any window...";
char pickerClass[AppStringSize] = "BraskCap";
char hookLibraryName[AppStringSize] = "brask2.dll";
char ruleFileName[AppStringSize] = "brask2.rul";

HINSTANCE appInstance;
HWND MainWindow;
HWND MainDialog;
HWND PickerWindow;
HCURSOR crossCursor;
HACCEL accelerators;

void LoadAppStrings(HINSTANCE instance)
{
    LoadStringA(instance, IDS_APP_CAPTION, appCaption, sizeof appCaption);
    LoadStringA(instance, IDS_MAIN_WINDOW_CLASS, mainWindowClass, sizeof mainWindowClass);
    LoadStringA(instance, IDS_PICKER_TITLE, pickerTitle, sizeof pickerTitle);
    LoadStringA(instance, IDS_PICKER_CLASS, pickerClass, sizeof pickerClass);
    LoadStringA(instance, IDS_HOOK_LIBRARY, hookLibraryName, sizeof hookLibraryName);
    LoadStringA(instance, IDS_RULE_FILE, ruleFileName, sizeof ruleFileName);
}
