# What both MinGW-w64 toolchain files share; they set BRASK_MINGW_TARGET
# (the compilers' prefix) and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: GoogleTest needs std::mutex.
set(CMAKE_C_COMPILER   ${BRASK_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRASK_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER  ${BRASK_MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BRASK_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest prefixes every test command with this.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
