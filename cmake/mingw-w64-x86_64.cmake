# Cross-builds the toolkit for 64-bit Windows with Debian's mingw-w64 compilers:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DQTK_MINGW_PREFIX=PREFIX ...
# PREFIX holds the libraries built for the target (liblzma, GoogleTest, the header-only
# libraries); scripts/build-windows.sh builds it once and passes it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model: the builder encodes in std::thread, which the win32 model of
# Debian's mingw-w64 compiler lacks.
set(QTK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QTK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QTK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QTK_MINGW_TRIPLE}-windres)

# Libraries and headers come from the mingw sysroot and the target prefix only; programs
# (moc, the host tools) from the build machine.
# Qt for the target, where scripts/build-windows.sh --gui made one, is a prefix of its own
# inside it.
set(CMAKE_FIND_ROOT_PATH /usr/${QTK_MINGW_TRIPLE} ${QTK_MINGW_PREFIX} ${QTK_MINGW_PREFIX}/qt6)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QTK_MINGW_PREFIX)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config sees the target prefix only, never the build machine's libraries.
set(ENV{PKG_CONFIG_LIBDIR} ${QTK_MINGW_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# The programs carry the C++ runtime, libgcc and winpthread inside them, so a bare .exe runs
# on any Windows machine: only system DLLs are left to load.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs (and GoogleTest's discovery) run under wine on the build machine.
find_program(QTK_WINE NAMES wine wine64)
if(QTK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QTK_WINE})
endif()
