include(GoogleTest)

# One ctest entry per GoogleTest test, so that ctest -j spreads them over the cores and -L
# picks a set: unit (the modules' tests), program (whole programs with the fake tools) and
# slow (real QEMU, wget and 7-Zip, kills, scripts). FILTER is a --gtest_filter pattern.
# The Windows build (cross-built, run under Wine) keeps one entry per program and label
# instead: every entry is a Wine start, and one start per test made hundreds of them, each
# one more chance of a start that fails under load for no fault of the test.
function(qh_discover_tests target)
  cmake_parse_arguments(D "" "LABEL;FILTER" "PROPERTIES" ${ARGN})
  if(CMAKE_CROSSCOMPILING)
    set(name ${target})
    set(args "")
    if(D_FILTER)
      set(name ${target}_${D_LABEL})
      set(args --gtest_filter=${D_FILTER})
    endif()
    add_test(NAME ${name} COMMAND ${target} ${args})
    set_tests_properties(${name} PROPERTIES LABELS ${D_LABEL} ${D_PROPERTIES})
    return()
  endif()
  if(D_FILTER)
    set(filter TEST_FILTER ${D_FILTER})
  else()
    set(filter "")
  endif()
  gtest_discover_tests(${target} ${filter} DISCOVERY_MODE POST_BUILD DISCOVERY_TIMEOUT 120
                       PROPERTIES LABELS ${D_LABEL} ${D_PROPERTIES})
endfunction()

# One static library per module folder under src/. Platform pairs are picked by their
# file name: name_posix.cpp on POSIX, name_win32.cpp on Windows. Unit tests (*_test.cpp)
# beside the code go into one test program per module, <module>_tests; TEST_PROPERTIES
# are ctest properties of each of its tests.
function(qh_module name)
  cmake_parse_arguments(M "" "" "DEPS;LIBS;TEST_PROPERTIES" ${ARGN})
  set(dir ${PROJECT_SOURCE_DIR}/src/${name})
  file(GLOB all CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(sources "")
  set(tests "")
  foreach(f IN LISTS all)
    get_filename_component(base ${f} NAME)
    if(base MATCHES "_test\\.cpp$")
      list(APPEND tests ${f})
    elseif(base STREQUAL "main.cpp")
    elseif(base MATCHES "_posix\\.cpp$" AND NOT QH_PLATFORM STREQUAL "posix")
    elseif(base MATCHES "_win32\\.cpp$" AND NOT QH_PLATFORM STREQUAL "win32")
    else()
      list(APPEND sources ${f})
    endif()
  endforeach()
  add_library(qh_${name} STATIC ${sources})
  target_include_directories(qh_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(qh_${name} PRIVATE ${QH_WARNINGS})
  target_link_libraries(qh_${name} PUBLIC ${M_DEPS} ${M_LIBS})
  if(QH_TESTS AND tests)
    add_executable(${name}_tests ${tests})
    target_compile_options(${name}_tests PRIVATE ${QH_WARNINGS})
    target_link_libraries(${name}_tests PRIVATE qh_${name} qh_test_support GTest::gtest_main)
    qh_discover_tests(${name}_tests LABEL unit PROPERTIES ${M_TEST_PROPERTIES})
  endif()
endfunction()

# Windows programs carry the application manifest that makes UTF-8 their code page:
# MSVC merges a .manifest source, MinGW links it as a resource. The build writes the
# program's version into the manifest, and the resource script that links it beside it.
if(WIN32 AND NOT MSVC)
  enable_language(RC)
endif()
set(QH_GENERATED ${CMAKE_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/src/c_api/utf8.manifest.in ${QH_GENERATED}/c_api/utf8.manifest @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/src/c_api/utf8_manifest.rc ${QH_GENERATED}/c_api/utf8_manifest.rc COPYONLY)
# The versions the screens show, from the same place (main_func/version.h).
configure_file(${PROJECT_SOURCE_DIR}/src/main_func/version.h.in ${QH_GENERATED}/main_func/version.h @ONLY)

# A program from src/<dir>/main.cpp.
function(qh_program target dir)
  cmake_parse_arguments(P "" "OUTPUT" "DEPS" ${ARGN})
  add_executable(${target} ${PROJECT_SOURCE_DIR}/src/${dir}/main.cpp)
  if(MSVC)
    target_sources(${target} PRIVATE ${QH_GENERATED}/c_api/utf8.manifest)
  elseif(WIN32)
    target_sources(${target} PRIVATE ${QH_GENERATED}/c_api/utf8_manifest.rc)
  endif()
  target_compile_options(${target} PRIVATE ${QH_WARNINGS})
  target_link_libraries(${target} PRIVATE ${P_DEPS})
  if(P_OUTPUT)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${P_OUTPUT})
  endif()
endfunction()
