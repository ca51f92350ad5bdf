# Cross-building for x86-64 Windows with Debian's mingw-w64 (the posix thread model, which
# std::thread and std::mutex need). The libraries the engine calls come from Debian's mingw
# packages and from scripts/cross-build-windows-deps, whose cache TARVIUM_WINDOWS_DEPS names
# (default ~/.cache/tarvium/mingw-w64); pkg-config looks there and nowhere on the host.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(tarvium_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${tarvium_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tarvium_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${tarvium_mingw}-windres)

if(DEFINED ENV{TARVIUM_WINDOWS_DEPS})
  set(tarvium_deps "$ENV{TARVIUM_WINDOWS_DEPS}")
else()
  set(tarvium_deps "$ENV{HOME}/.cache/tarvium/mingw-w64")
endif()
set(tarvium_prefix "${tarvium_deps}/${tarvium_mingw}")
set(ENV{PKG_CONFIG_LIBDIR} "${tarvium_prefix}/lib/pkgconfig:/usr/${tarvium_mingw}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(CMAKE_FIND_ROOT_PATH "/usr/${tarvium_mingw}" "${tarvium_prefix}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Each program runs on a bare Windows: the C++ and C runtime of the compiler are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
