# Cross-build for Windows with MinGW-w64 (i686), static: the shipped x86 programs.
# The win32 thread-model compilers: the posix model links winpthreads, whose imports
# (GetTickCount64, the vectored exception handlers, TryEnterCriticalSection) Windows 95
# to XP lack, and it offers no std::thread or std::mutex, which the program must not use.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Every static is made on the one thread the program runs its own code on, so no guard
# around its first use is needed.
set(CMAKE_CXX_FLAGS_INIT "-fno-threadsafe-statics")
# No relocation table: an x86 program always loads at its own base on Windows 95 to XP,
# which move no program, and the table would be a tenth of a 512 KB budget.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--disable-dynamicbase,--disable-reloc-section")
