# Checks that the stand-in's source layers include only their own and lower layers' headers:
# types <- scene <- plugin <- mel <- minihost, and gl on types alone.
# Run as: cmake -DHOST_DIR=<host folder> -P layers.cmake
cmake_minimum_required(VERSION 3.25)

set(allowed_types types)
set(allowed_gl types gl)
set(allowed_scene types scene)
set(allowed_plugin types scene plugin)
set(allowed_mel types scene plugin mel)
set(allowed_minihost types scene plugin mel)

set(violations "")
foreach(layer types gl scene plugin mel minihost)
  if(layer STREQUAL "minihost")
    set(folder "${HOST_DIR}/minihost")
  else()
    set(folder "${HOST_DIR}/src/${layer}")
  endif()
  file(GLOB_RECURSE sources "${folder}/*.h" "${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^#include \"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" used "${line}")
      if(NOT used IN_LIST allowed_${layer})
        string(APPEND violations "\n  ${source}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "includes against the layer order:${violations}")
endif()
