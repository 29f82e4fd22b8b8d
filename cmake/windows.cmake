# Cross build of a native Windows console program (64-bit) with Debian's
# mingw-w64 (packages mingw-w64 and, to run the tests, wine):
#   cmake --workflow --preset windows        (.ci/windows.sh does this)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(cosmic_mingw x86_64-w64-mingw32)
# The POSIX threads flavour: GoogleTest's threads need std::mutex.
set(CMAKE_C_COMPILER ${cosmic_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${cosmic_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${cosmic_mingw}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${cosmic_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Wine in a prefix of the build's own, made at its first start, and quiet.
set(CMAKE_CROSSCOMPILING_EMULATOR env;WINEPREFIX=${CMAKE_BINARY_DIR}/wine;WINEDEBUG=-all;wine)
