# Runs one fuzzer for SECONDS over a fresh copy of its seed corpus.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
if(SEED AND EXISTS ${SEED})
  file(GLOB seeds ${SEED}/*)
  if(seeds)
    file(COPY ${seeds} DESTINATION ${WORK})
  endif()
endif()
execute_process(COMMAND ${FUZZER} -max_total_time=${SECONDS} -rss_limit_mb=2048 ${WORK}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "fuzzer ${FUZZER} failed (${rc})")
endif()
