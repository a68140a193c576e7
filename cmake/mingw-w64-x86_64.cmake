# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads,
# so std::thread works). Tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries are taken from the compiler's own root and from the prefix that
# scripts/build-windows-deps fills (KORAL70_WINDOWS_DEPS, as a cache variable
# or from the environment); never from the host.
if(NOT KORAL70_WINDOWS_DEPS AND DEFINED ENV{KORAL70_WINDOWS_DEPS})
  set(KORAL70_WINDOWS_DEPS "$ENV{KORAL70_WINDOWS_DEPS}")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${KORAL70_WINDOWS_DEPS})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KORAL70_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained program: the C and C++ runtimes and winpthreads linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/wine CACHE FILEPATH "Runs the Windows test programs")
