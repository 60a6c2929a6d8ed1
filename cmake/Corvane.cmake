# Helpers shared by every CMakeLists of the tree.

# corvane_library(NAME SOURCES... [LIBS ...]) : a static library of one subsystem.
function(corvane_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${A_LIBS} PRIVATE corvane_warnings)
endfunction()

# corvane_gtest(NAME SOURCES... LIBS... [WHOLE]) : a GoogleTest executable run by CTest.
# Each test case is registered on its own (discovered when CTest runs), so `ctest -R Name` picks one.
# WHOLE registers the executable as a single CTest test instead (for suites that share an
# expensive fixture, such as a real game server).
function(corvane_gtest name)
  cmake_parse_arguments(A "WHOLE" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} corvane_test_support corvane_warnings)
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  set(env "QT_QPA_PLATFORM=offscreen;CORVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR};CORVANE_BINARY_DIR=${PROJECT_BINARY_DIR}")
  if(A_WHOLE)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${A_TIMEOUT} LABELS "${A_LABELS}")
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${A_TIMEOUT} LABELS "${A_LABELS}")
  endif()
endfunction()

# corvane_add_subfolders() : adds every folder below the current one that has a
# CMakeLists.txt (one folder per subsystem's tests, or per group of benchmarks).
function(corvane_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# corvane_python_test(NAME MODULE [TIMEOUT seconds]) : a Python unittest module of the current
# source folder, run by CTest with the source and build trees in CORVANE_SOURCE_DIR and
# CORVANE_BINARY_DIR. Left out where there is no Python.
function(corvane_python_test name module)
  cmake_parse_arguments(A "" "TIMEOUT" "" ${ARGN})
  find_package(Python3 COMPONENTS Interpreter)
  if(NOT Python3_Interpreter_FOUND)
    return()
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 60)
  endif()
  add_test(NAME ${name} COMMAND Python3::Interpreter -m unittest -v ${module}
           WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} ENVIRONMENT
    "CORVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR};CORVANE_BINARY_DIR=${PROJECT_BINARY_DIR};PYTHONDONTWRITEBYTECODE=1")
endfunction()
