# The project's version reaches the programs from here, from project() in the top-level
# CMakeLists.txt and nowhere else: a generated header (tarvium_version.h) for what --version
# prints, and on Windows a version resource for each program, all made from one template
# (version.rc.in). The copyright line is the LICENSE file's own.

set(TARVIUM_PRODUCT_NAME "Tarvium Setup")
file(STRINGS "${PROJECT_SOURCE_DIR}/LICENSE" TARVIUM_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/LICENSE")
if(NOT TARVIUM_COPYRIGHT)
  message(FATAL_ERROR "LICENSE has no line starting with 'Copyright '")
endif()
configure_file("${CMAKE_CURRENT_LIST_DIR}/tarvium_version.h.in"
               "${PROJECT_BINARY_DIR}/generated/tarvium_version.h" @ONLY)
set(TARVIUM_VERSION_INCLUDE_DIR "${PROJECT_BINARY_DIR}/generated")

if(WIN32)
  enable_language(RC)
endif()

set(TARVIUM_VERSION_RC_TEMPLATE "${CMAKE_CURRENT_LIST_DIR}/version.rc.in")

# tarvium_version_resource(TARGET DESCRIPTION text FILE_NAME name [MANIFEST file]): on Windows,
# gives TARGET (a program or a DLL) the version resource of the project, with its own description
# and original file name, and the application manifest when one is named; elsewhere nothing.
function(tarvium_version_resource target)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION;FILE_NAME;MANIFEST" "")
  if(NOT arg_DESCRIPTION OR NOT arg_FILE_NAME)
    message(FATAL_ERROR "tarvium_version_resource(${target}) needs DESCRIPTION and FILE_NAME")
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(TARVIUM_RC_FILE_TYPE VFT_DLL)
  else()
    set(TARVIUM_RC_FILE_TYPE VFT_APP)
  endif()
  set(TARVIUM_RC_DESCRIPTION "${arg_DESCRIPTION}")
  set(TARVIUM_RC_FILE_NAME "${arg_FILE_NAME}")
  get_filename_component(TARVIUM_RC_INTERNAL_NAME "${arg_FILE_NAME}" NAME_WE)
  if(arg_MANIFEST)
    set(TARVIUM_RC_MANIFEST "1 24 \"${arg_MANIFEST}\"")
  else()
    set(TARVIUM_RC_MANIFEST "")
  endif()
  set(rc_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
  configure_file("${TARVIUM_VERSION_RC_TEMPLATE}" "${rc_file}" @ONLY)
  target_sources(${target} PRIVATE "${rc_file}")
endfunction()
