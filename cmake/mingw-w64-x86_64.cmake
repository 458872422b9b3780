# Cross-compiles for 64-bit Windows with Debian's mingw-w64. The posix thread model gives
# std::mutex and std::thread; it needs libwinpthread-1.dll at run time.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVELMORA_WINDOWS_DEPS=<prefix> ...
# VELMORA_WINDOWS_DEPS is the folder the Windows builds of Allegro, SDL2, SDL2_mixer and
# libopenmpt were installed into (scripts/build-windows.sh makes it); their pkg-config files
# are the only ones searched.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
if(VELMORA_WINDOWS_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${VELMORA_WINDOWS_DEPS})
  set(ENV{PKG_CONFIG_LIBDIR} ${VELMORA_WINDOWS_DEPS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()
# Programs run on the build machine; headers, libraries and packages come from the target.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
