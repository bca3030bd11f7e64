# lv_add_resources(<target> <folder>)
#   Compiles the files of <folder> into <target> as its resource table
#   (platform/sys/resources.h). Layout: <folder>/<TYPE>/<id>[-name].<ext>, for
#   example SHADER/119.fx or BITMAP/132-crosshatch.bmp. BITMAP files lose
#   their 14-byte file header, as bitmap resources do. The folder is read when
#   CMake runs; adding a file re-runs it.
function(lv_add_resources target folder)
  get_filename_component(folder "${folder}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  if(NOT IS_DIRECTORY "${folder}")
    message(FATAL_ERROR "lv_add_resources(${target}): no folder ${folder}")
  endif()
  file(GLOB_RECURSE files CONFIGURE_DEPENDS LIST_DIRECTORIES false "${folder}/*")
  set(script "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/LvEmbedResources.cmake")
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp")
  add_custom_command(OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} "-DFOLDER=${folder}" "-DOUTPUT=${out}" -P "${script}"
    DEPENDS ${files} "${script}"
    COMMENT "Embedding the resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
