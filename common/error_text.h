// The words the system has for an error code, for every box that reports one.
#pragma once

#include <windows.h>

#include <string>

// The system's text for code in the user's language, as FormatMessageA gives
// it; "Error N (0xNNNNNNNN)" for a code without one, and for code 0, whose
// text ("The operation completed successfully") would contradict the failure
// it is shown for.
std::string SystemErrorText(DWORD code);

// The same without the line end the system puts after its text, for a
// sentence of a message of our own.
std::string SystemErrorReason(DWORD code);
