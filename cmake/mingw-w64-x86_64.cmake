# CMake toolchain file for cross-building 64-bit Windows executables with the
# MinGW-w64 cross compilers of Debian (x86_64-w64-mingw32).
#
# Third-party libraries are searched in the mingw sysroot and in the prefix of
# static libraries made by scripts/windows-deps.sh, given as the cache variable
# or environment variable TASKO_WINDOWS_DEPS:
#   prefix=$(scripts/windows-deps.sh | tail -n 1)
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTASKO_WINDOWS_DEPS="$prefix" ...
# Executables link libgcc, libstdc++ and libwinpthread statically, and test
# programs run through Wine (CMAKE_CROSSCOMPILING_EMULATOR).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TASKO_MINGW_HOST x86_64-w64-mingw32)
# The posix thread model variant: std::thread, std::mutex and the like work.
set(CMAKE_C_COMPILER ${TASKO_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TASKO_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${TASKO_MINGW_HOST}-windres)

# The sysroot of the cross compilers sits next to their bin directory.
find_program(TASKO_MINGW_GCC_PATH ${CMAKE_C_COMPILER} NO_CMAKE_FIND_ROOT_PATH)
if(NOT TASKO_MINGW_GCC_PATH)
  message(FATAL_ERROR "${CMAKE_C_COMPILER} not found; install g++-mingw-w64-x86-64")
endif()
get_filename_component(TASKO_MINGW_BIN "${TASKO_MINGW_GCC_PATH}" DIRECTORY)
get_filename_component(TASKO_MINGW_SYSROOT "${TASKO_MINGW_BIN}/../${TASKO_MINGW_HOST}" ABSOLUTE)

# The dependency prefix: cache variable first, then the environment. The
# environment variable is set from the cache so that try_compile projects,
# which read this file again without the cache, see the same prefix.
if(NOT TASKO_WINDOWS_DEPS AND DEFINED ENV{TASKO_WINDOWS_DEPS})
  set(TASKO_WINDOWS_DEPS "$ENV{TASKO_WINDOWS_DEPS}")
endif()
set(TASKO_WINDOWS_DEPS "${TASKO_WINDOWS_DEPS}" CACHE PATH
  "Prefix of the Windows libraries made by scripts/windows-deps.sh")
set(ENV{TASKO_WINDOWS_DEPS} "${TASKO_WINDOWS_DEPS}")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TASKO_WINDOWS_DEPS)

# The dependency prefix comes first: it holds only static libraries, while the
# sysroot holds import libraries next to some static ones.
set(CMAKE_FIND_ROOT_PATH ${TASKO_WINDOWS_DEPS} ${TASKO_MINGW_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib comes from the sysroot, which has both libz.a and the import library
# libz.dll.a; FindZLIB would take the import library.
if(EXISTS "${TASKO_MINGW_SYSROOT}/lib/libz.a")
  set(ZLIB_LIBRARY "${TASKO_MINGW_SYSROOT}/lib/libz.a" CACHE FILEPATH "zlib, static")
  set(ZLIB_INCLUDE_DIR "${TASKO_MINGW_SYSROOT}/include" CACHE PATH "zlib headers")
endif()

# pkg-config looks only into the dependency prefix, never at the build machine's
# own libraries.
set(ENV{PKG_CONFIG_LIBDIR} "${TASKO_WINDOWS_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
set(PKG_CONFIG_EXECUTABLE pkg-config CACHE FILEPATH "pkg-config for the Windows libraries")
set(PKG_CONFIG_ARGN --static CACHE STRING "Arguments for pkg-config: static link lines")

# Executables carry their C and C++ runtime: no libgcc_s, libstdc++ or
# libwinpthread DLL is needed next to them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Windows programs (tests, gtest_discover_tests) run through Wine.
find_program(TASKO_WINE NAMES wine wine64 NO_CMAKE_FIND_ROOT_PATH)
if(TASKO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${TASKO_WINE}")
endif()
