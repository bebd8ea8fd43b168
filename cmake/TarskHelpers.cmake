# Small helpers that keep each folder's CMakeLists.txt a few lines long.
#   tk_library(name DEPS ... [EXCLUDE files])  static library of the folder's .cpp files
#   tk_test(name SOURCES ... DEPS ...)  GoogleTest binary registered with ctest
#   tk_bench(name SOURCES ... DEPS ...) Google Benchmark program
#   tk_fuzz(name SOURCES ... DEPS ...)  libFuzzer target

function(tk_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PUBLIC_LIBS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(skip ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${skip})
  endforeach()
  # A platform service is NAME.cpp (POSIX) with its Windows twin NAME_win.cpp
  # beside it: each build takes one of the two.
  foreach(source ${sources})
    if(source MATCHES "^(.*)_win\\.cpp$")
      if(WIN32)
        list(REMOVE_ITEM sources ${CMAKE_MATCH_1}.cpp)
      else()
        list(REMOVE_ITEM sources ${source})
      endif()
    endif()
  endforeach()
  if(NOT sources)
    # A folder whose code has not arrived yet still gets its library.
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${stub} "// ${name}: no sources yet.\n")
    set(sources ${stub})
  endif()
  add_library(${name} STATIC ${sources})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} ${ARG_PUBLIC_LIBS})
endfunction()

find_package(GTest REQUIRED)
include(GoogleTest)
find_package(Threads REQUIRED)

function(tk_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    TK_BUILD_DIR="${CMAKE_BINARY_DIR}" TK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(CMAKE_CROSSCOMPILING)
    # Under an emulator (Wine) every start costs a second or more: one run of
    # the whole binary instead of one per case. TK_KNOWN_FAILURES, a gtest
    # filter of cases known to fail there (A.b:C.*), is left out.
    set(filter)
    if(TK_KNOWN_FAILURES)
      set(filter --gtest_filter=-${TK_KNOWN_FAILURES})
    endif()
    add_test(NAME ${name} COMMAND ${name} ${filter} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 900)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
      PROPERTIES LABELS "${ARG_LABELS}" WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  endif()
endfunction()

function(tk_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

function(tk_fuzz name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
