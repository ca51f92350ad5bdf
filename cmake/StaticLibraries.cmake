# Setup.exe is started for every install, and before this most of a short run went to the dynamic
# loader: binding the symbols of the shared C++ libraries (Crypto++ alone asks for 28,000 symbol
# relocations), ICU and the C++ runtime. The same Debian packages ship static archives, which the
# linker binds once, at build time. Sanitizer builds keep the shared libraries: the sanitizers
# replace allocation functions that a static C++ runtime would hide from them.
if(TARVIUM_FUZZ OR CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  set(tarvium_static_default OFF)
else()
  set(tarvium_static_default ON)
endif()
option(TARVIUM_STATIC_LIBRARIES "Link the third-party libraries and Setup.exe's C++ runtime statically"
       ${tarvium_static_default})

# tarvium_link_statically(PREFIX...): the imported target PkgConfig::PREFIX made by
# pkg_check_modules links the static archives (lib<name>.a) that `pkg-config --static` names
# instead of the shared libraries. The C library's own parts (libm, libpthread, libdl) stay
# shared, and so does zlib on Linux: Debian's security team tracks embedded copies of it (lintian's
# embedded-library error), and its updates must reach the engine. A package whose archives are not
# all there stays shared.
function(tarvium_link_statically)
  if(NOT TARVIUM_STATIC_LIBRARIES)
    return()
  endif()
  foreach(prefix ${ARGN})
    set(libs)
    set(complete TRUE)
    foreach(name ${${prefix}_STATIC_LIBRARIES})
      if(name MATCHES "^(c|m|dl|rt|pthread)$" OR (name STREQUAL "z" AND NOT WIN32))
        list(APPEND libs ${name})
        continue()
      endif()
      find_library(TARVIUM_ARCHIVE_${name} NAMES lib${name}.a HINTS ${${prefix}_STATIC_LIBRARY_DIRS})
      if(NOT TARVIUM_ARCHIVE_${name})
        set(complete FALSE)
      endif()
      list(APPEND libs ${TARVIUM_ARCHIVE_${name}})
    endforeach()
    if(complete)
      set_property(TARGET PkgConfig::${prefix} PROPERTY INTERFACE_LINK_LIBRARIES ${libs})
    else()
      message(STATUS "${prefix}: no static archive, linked as a shared library")
    endif()
  endforeach()
endfunction()

# tarvium_static_runtime(TARGET): the executable carries its own C++ runtime and libgcc, and is
# linked for a fixed address: a position-independent one has 32,000 pointers for the loader to
# adjust at every start (and the pages holding them to copy).
function(tarvium_static_runtime target)
  if(TARVIUM_STATIC_LIBRARIES)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -no-pie)
  endif()
endfunction()
