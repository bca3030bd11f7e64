# lv_add_test(<name> SOURCES ... [LIBS ...] [LABELS ...] [TSAN] [QT] [GL])
#   One GoogleTest executable, its cases registered with CTest.
#   LABELS: extra CTest labels. GL: needs an EGL context (label gl).
#   QT: runs with QT_QPA_PLATFORM=offscreen (label qt).
#   SERIAL: runs alone (it starts a shared service others would meet).
#   TSAN: concurrent tests, also built and run in the ThreadSanitizer pass
#         (label tsan). In that pass only TSAN tests are built.
#   ASAN: tests of code that reads users' files into callers' buffers, also
#         built and run in the AddressSanitizer pass (LV_SANITIZE=address),
#         where only ASAN tests are built (target lv_asan_tests).
#
# lv_add_x_test(<name> [SCREEN <w>x<h>x<depth>] COMMAND ...)
#   A command run under its own virtual X server (label e2e, Qt on xcb), of
#   1024x768x24 unless SCREEN says otherwise.
#   Each such test starts its search for a free display number at its own
#   base: xvfb-run's -a alone lets tests started at the same moment pick the
#   same number, and one of them then talks to the other's server. The
#   server runs with -noreset: by default it resets when its last client
#   leaves, and a connection opened during the reset is refused.
include(GoogleTest)
find_package(GTest REQUIRED)

if(NOT TARGET lv_tsan_tests)
  add_custom_target(lv_tsan_tests)
endif()
if(NOT TARGET lv_asan_tests)
  add_custom_target(lv_asan_tests)
endif()

function(lv_add_test name)
  cmake_parse_arguments(T "TSAN;ASAN;QT;GL;SERIAL" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  lv_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
  if((LV_SANITIZE STREQUAL "thread" AND NOT T_TSAN) OR (LV_SANITIZE STREQUAL "address" AND NOT T_ASAN))
    # The target exists, so folders can still add to it, but it is neither
    # built nor run in the sanitizer pass.
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
    return()
  endif()
  set(labels ${T_LABELS})
  set(env "")
  if(T_TSAN)
    list(APPEND labels tsan)
    add_dependencies(lv_tsan_tests ${name})
  endif()
  if(T_ASAN)
    add_dependencies(lv_asan_tests ${name})
  endif()
  if(T_QT)
    list(APPEND labels qt)
    list(APPEND env QT_QPA_PLATFORM=offscreen)
  endif()
  if(T_GL)
    list(APPEND labels gl)
  endif()
  if(NOT labels)
    set(labels unit)
  endif()
  # Discovered tests' properties cannot carry lists: a test keeps its first
  # label (tsan before qt before gl), and only one environment entry is set.
  list(GET labels 0 labels)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin
    PROPERTIES LABELS "${labels}" ENVIRONMENT "${env}" RUN_SERIAL ${T_SERIAL}
    DISCOVERY_TIMEOUT 60)
endfunction()

function(lv_add_x_test name)
  cmake_parse_arguments(X "" "SCREEN" "COMMAND" ${ARGN})
  if(NOT X_SCREEN)
    set(X_SCREEN 1024x768x24)
  endif()
  get_property(count GLOBAL PROPERTY LV_X_TEST_COUNT)
  if(NOT count)
    set(count 0)
  endif()
  math(EXPR server "100 + 10 * ${count}")
  math(EXPR count "${count} + 1")
  set_property(GLOBAL PROPERTY LV_X_TEST_COUNT ${count})
  add_test(NAME ${name}
           COMMAND xvfb-run -a -n ${server} -s "-screen 0 ${X_SCREEN} -noreset" ${X_COMMAND}
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
  set_tests_properties(${name} PROPERTIES LABELS e2e TIMEOUT 120 ENVIRONMENT QT_QPA_PLATFORM=xcb)
endfunction()
