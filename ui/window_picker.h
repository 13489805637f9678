// The window picker: a full-screen window that holds the mouse until the
// user clicks a window (picked) or presses a key or the right button.
#pragma once

#include <windows.h>

void BeginPick();

// Registers the class of PickerWindow ("BraskCap").
void RegisterPickerClass(HINSTANCE instance);
