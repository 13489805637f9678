#include "common/error_text.h"

#include <cstdio>

std::string SystemErrorText(DWORD code)
{
    char *text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                      FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                  nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<char *>(&text), 0, nullptr);
    std::string result;
    if (length == 0 || text == nullptr || code == ERROR_SUCCESS) {
        char fallback[64];
        std::snprintf(fallback, sizeof fallback, "Error %lu (0x%08lX)", static_cast<unsigned long>(code),
                      static_cast<unsigned long>(code));
        result = fallback;
    } else {
        result.assign(text, length);
    }
    LocalFree(text);
    return result;
}

std::string SystemErrorReason(DWORD code)
{
    std::string reason = SystemErrorText(code);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    return reason;
}
