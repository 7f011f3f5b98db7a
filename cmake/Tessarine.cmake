# Shared build settings and helpers for every folder.

set(TESSARINE_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(TESSARINE_SCREENSHOT_DIR ${CMAKE_BINARY_DIR}/screenshots)
file(MAKE_DIRECTORY ${TESSARINE_DIST_DIR} ${TESSARINE_SCREENSHOT_DIR})

add_compile_options(-Wall -Wextra)
if(TESSARINE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(TESSARINE_FUZZ)
  # Coverage for libFuzzer in every library the fuzz targets link.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Adds a source folder when it has a CMakeLists.txt (folders appear as their
# first code arrives).
macro(tessarine_add_folder dir)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endmacro()

# A library target for one source folder. Usage:
#   tessarine_library(name SOURCES a.cpp b.cpp DEPS other_lib ...)
function(tessarine_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# A deliverable executable, placed in build/dist/.
function(tessarine_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TESSARINE_DIST_DIR})
endfunction()

# One GoogleTest executable per source folder, registered with CTest. Usage:
#   tessarine_test(name LABEL unit SOURCES ... DEPS ...)
# Every test runs with its own HOME, XDG folders, registry and runtime folder
# (tests/support/TestMain.cpp sets them up), never the real user's.
function(tessarine_test name)
  cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tessarine_test_support ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABEL}"
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "TESSARINE_DIST_DIR=${TESSARINE_DIST_DIR};TESSARINE_SOURCE_DIR=${PROJECT_SOURCE_DIR};TESSARINE_SCREENSHOT_DIR=${TESSARINE_SCREENSHOT_DIR};QT_QPA_PLATFORM=offscreen")
endfunction()
