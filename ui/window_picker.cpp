#include "ui/window_picker.h"
// placeholder until implemented
void BeginPick() {}
void EndPick() {}
LRESULT CALLBACK PickerWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }
