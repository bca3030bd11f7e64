# lv_add_fuzzer(<name> SOURCES ... [LIBS ...] [CORPUS <dir>])
#   A libFuzzer target (clang, -fsanitize=fuzzer,address,undefined). CTest runs
#   it for a few seconds over a copy of its corpus folder.
if(NOT TARGET lv_fuzzers)
  add_custom_target(lv_fuzzers)
endif()
set(LV_FUZZ_SECONDS 5 CACHE STRING "Seconds each fuzz target runs under ctest")

function(lv_add_fuzzer name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  lv_warnings(${name})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize=vptr ${LV_SANITIZE_FATAL})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize=vptr)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  add_dependencies(lv_fuzzers ${name})
  set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
  set(seed "")
  if(F_CORPUS)
    set(seed ${F_CORPUS})
  endif()
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -DFUZZER=$<TARGET_FILE:${name}> -DWORK=${work} -DSEED=${seed}
            -DSECONDS=${LV_FUZZ_SECONDS} -P ${CMAKE_SOURCE_DIR}/cmake/LvRunFuzzer.cmake)
  set_tests_properties(${name} PROPERTIES LABELS fuzz)
endfunction()

# lv_add_engine_file_fuzzer(<name> SOURCES <paths under engine/> ... [EXTRA ...] [INCLUDES ...])
#   A fuzzer of one of the engine's file readers: <name>.cpp beside the
#   calling CMakeLists.txt, its seed corpus in corpus/ there. Built from the
#   engine sources the reader needs rather than from lvengine, whose platform
#   library pulls in the graphics layer; EXTRA names further sources.
function(lv_add_engine_file_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;EXTRA;INCLUDES" ${ARGN})
  list(TRANSFORM F_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/engine/)
  lv_add_fuzzer(${name}
    SOURCES ${name}.cpp ${F_SOURCES} ${F_EXTRA} ${CMAKE_SOURCE_DIR}/platform/sys/module_path.cpp
    LIBS lvpluginapi ${CMAKE_DL_LIBS}
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/engine ${CMAKE_SOURCE_DIR}/platform/include
                             ${F_INCLUDES})
endfunction()
