# Shared build settings and helpers for every folder of the tree.

set(LV_WARNINGS -Wall -Wextra)

# Every report of a sanitizer ends the program: a report that is printed
# and then carried on from would let the run pass.
set(LV_SANITIZE_FATAL -fno-sanitize-recover=all)

if(LV_FUZZ)
  # Everything the fuzzers link is instrumented for coverage and checked.
  # vptr checks need type information that glslang, built without it, lacks.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize=vptr ${LV_SANITIZE_FATAL}
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
elseif(LV_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -g)
  add_link_options(-fsanitize=thread)
elseif(LV_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize=vptr ${LV_SANITIZE_FATAL} -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()

# Adds each named subdirectory that has a CMakeLists.txt, so a folder can be
# filled in without touching its parent.
function(lv_add_existing_subdirs)
  foreach(dir IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# Adds every direct subdirectory that has a CMakeLists.txt.
function(lv_add_all_subdirs)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(dir IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${dir} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# Our own targets get the warning flags; third-party code does not.
function(lv_warnings target)
  target_compile_options(${target} PRIVATE ${LV_WARNINGS})
endfunction()
