// A function of a loaded library by its export name, as the type it is
// called through: the one place the cast from GetProcAddress is written.
#pragma once

#include <windows.h>

// Null when the library or the export is missing.
template <typename Function> Function LookUpExport(HMODULE library, const char *name)
{
    return library ? reinterpret_cast<Function>(
                         reinterpret_cast<void (*)()>(GetProcAddress(library, name)))
                   : nullptr;
}
