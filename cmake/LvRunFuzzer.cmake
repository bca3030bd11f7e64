# Runs one fuzzer for SECONDS over a fresh copy of its seed corpus.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
if(SEED AND EXISTS ${SEED})
  file(GLOB seeds ${SEED}/*)
  if(seeds)
    file(COPY ${seeds} DESTINATION ${WORK})
  endif()
endif()
# A sanitizer report fails the run even where the build let it recover.
set(ENV{ASAN_OPTIONS} "halt_on_error=1:$ENV{ASAN_OPTIONS}")
set(ENV{UBSAN_OPTIONS} "halt_on_error=1:print_stacktrace=1:$ENV{UBSAN_OPTIONS}")
execute_process(COMMAND ${FUZZER} -max_total_time=${SECONDS} -rss_limit_mb=2048 ${WORK}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "fuzzer ${FUZZER} failed (${rc})")
endif()
