# Cross-builds for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix) and runs
# what it builds under Wine (wine64): `make check-windows`. The same file serves the cross-build
# of Qt itself (scripts/build-qt-windows). Programs link the compiler's runtime as DLLs
# (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll), the same ones Qt's DLLs use, so one
# C++ runtime serves a whole process; under Wine, WINEPATH finds them (cmake/wine-run).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# The cross compiler's own root and the Windows prefixes given in CMAKE_PREFIX_PATH (Qt for
# Windows, GoogleTest for Windows) are the only places libraries, headers and packages come from.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Never the host's own Qt or GoogleTest.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest (and GoogleTest's test discovery) start the programs through Wine, with a Wine prefix of
# their own inside the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${CMAKE_BINARY_DIR}/wineprefix)
