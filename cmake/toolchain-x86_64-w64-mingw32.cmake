# Cross build for 64-bit Windows with MinGW-w64, for machines that run no
# 32-bit code; tests run under Wine's 64-bit loader.
set(BRASK_MINGW_TARGET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
