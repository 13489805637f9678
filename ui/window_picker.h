// The window picker: a full-screen window that holds the mouse until the
// user clicks a window (picked) or presses a key or the right button.
#pragma once

#include <windows.h>

void BeginPick();
void EndPick();

LRESULT CALLBACK PickerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
