# The COM tests' artefacts, made the same way by the Linux and the Windows build, all in
# <build>/tests/com: the type libraries widl builds from tests/data/com (com_test.tlb, a 32-bit
# library of version 2.10; com_test_v1.tlb, a 64-bit one of version 1.0 for locale 0x407), and
# the test server (tests/platform/com_test_server.c) in three forms: ComTestServer.dll, which
# registers its class; ComTestPlain.dll, without the registration entries; ComTestFailing.dll,
# whose entries fail. On Linux they are host modules named like DLLs, on Windows real DLLs. When
# the mingw-w64 tools are at hand (always in the Windows build), ComTestTypes.dll is a
# resource-only Windows DLL holding com_test.tlb as its TYPELIB resource 1.
find_program(WIDL widl REQUIRED)
find_path(WIDL_IDL_DIR oaidl.idl PATHS /usr/include/wine/wine/windows REQUIRED NO_CMAKE_FIND_ROOT_PATH)
find_path(WIDL_TLB_DIR stdole2.tlb
          PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows
          REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(com_test_dir "${CMAKE_BINARY_DIR}/tests/com")
file(MAKE_DIRECTORY "${com_test_dir}")

function(tarvium_com_type_library name arch)
  set(idl "${PROJECT_SOURCE_DIR}/tests/data/com/${name}.idl")
  add_custom_command(OUTPUT "${com_test_dir}/${name}.tlb"
                     COMMAND "${WIDL}" -t ${arch} -I "${WIDL_IDL_DIR}" -L "${WIDL_TLB_DIR}"
                             -o "${com_test_dir}/${name}.tlb" "${idl}"
                     DEPENDS "${idl}" VERBATIM)
endfunction()
tarvium_com_type_library(com_test --win32)
tarvium_com_type_library(com_test_v1 --win64)
set(com_test_libraries "${com_test_dir}/com_test.tlb" "${com_test_dir}/com_test_v1.tlb")

find_program(MINGW_WINDRES x86_64-w64-mingw32-windres)
find_program(MINGW_LD x86_64-w64-mingw32-ld)
if(MINGW_WINDRES AND MINGW_LD)
  file(WRITE "${com_test_dir}/com_test_types.rc" "1 TYPELIB \"${com_test_dir}/com_test.tlb\"\n")
  add_custom_command(OUTPUT "${com_test_dir}/ComTestTypes.dll"
                     COMMAND "${MINGW_WINDRES}" "${com_test_dir}/com_test_types.rc" -O coff
                             -o "${com_test_dir}/com_test_types.res.o"
                     COMMAND "${MINGW_LD}" -shared --dll -e 0 -o "${com_test_dir}/ComTestTypes.dll"
                             "${com_test_dir}/com_test_types.res.o"
                     DEPENDS "${com_test_dir}/com_test.tlb" VERBATIM)
  list(APPEND com_test_libraries "${com_test_dir}/ComTestTypes.dll")
endif()
add_custom_target(com_test_type_libraries DEPENDS ${com_test_libraries})

set(com_test_servers "")
foreach(variant Server Plain Failing)
  set(target com_test_${variant})
  string(TOLOWER "${target}" target)
  if(WIN32)
    add_library(${target} SHARED "${PROJECT_SOURCE_DIR}/tests/platform/com_test_server.c")
    target_link_libraries(${target} PRIVATE advapi32)
  else()
    add_library(${target} MODULE "${PROJECT_SOURCE_DIR}/tests/platform/com_test_server.c")
    target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/src")
  endif()
  set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".dll" OUTPUT_NAME ComTest${variant}
                        C_VISIBILITY_PRESET hidden LIBRARY_OUTPUT_DIRECTORY "${com_test_dir}"
                        RUNTIME_OUTPUT_DIRECTORY "${com_test_dir}")
  if(variant STREQUAL "Plain")
    target_compile_definitions(${target} PRIVATE COM_TEST_WITHOUT_ENTRIES)
  elseif(variant STREQUAL "Failing")
    target_compile_definitions(${target} PRIVATE COM_TEST_FAILING)
  endif()
  list(APPEND com_test_servers ${target})
endforeach()
add_custom_target(com_test_artefacts DEPENDS com_test_type_libraries ${com_test_servers})
