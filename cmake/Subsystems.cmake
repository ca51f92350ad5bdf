# tarvium_subsystem(NAME [DEPENDS lib...] [PRIVATE lib...] [EXCLUDE regex...])
# Builds src/NAME/**/*.cpp into the static library tarvium_NAME, without the files whose path
# below src/NAME matches an EXCLUDE expression (what one platform's build leaves out). src/ is the
# include root, so code includes "engine/inf_reader.h", "platform/registry.h" and so on.
function(tarvium_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;PRIVATE;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}/${name}"
       "${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp")
  foreach(pattern ${ARG_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  list(TRANSFORM sources PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/${name}/")
  if(NOT sources)
    return()
  endif()
  add_library(tarvium_${name} STATIC ${sources})
  target_include_directories(tarvium_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_link_libraries(tarvium_${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE})
  set_property(GLOBAL APPEND PROPERTY TARVIUM_LIBS tarvium_${name})
endfunction()

# tarvium_test_suite(FOLDER LIBS...): every tests/FOLDER/*_test.cpp in one GoogleTest binary.
function(tarvium_test_suite folder)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${folder}_tests ${sources})
  target_link_libraries(${folder}_tests PRIVATE tarvium_test_support ${ARGN} GTest::gtest_main GTest::gmock)
  # Tests are listed when CTest runs, so that a new end-to-end scenario folder is a new test
  # without a rebuild.
  gtest_discover_tests(${folder}_tests DISCOVERY_TIMEOUT 60 DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "TARVIUM_BUILD_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# tarvium_all_libs(VAR): every subsystem library built so far, for tools, benchmarks and fuzzers.
function(tarvium_all_libs var)
  get_property(libs GLOBAL PROPERTY TARVIUM_LIBS)
  set(${var} ${libs} PARENT_SCOPE)
endfunction()
