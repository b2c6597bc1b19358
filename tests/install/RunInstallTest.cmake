# Script of the install test: install, build the consumer against the installed package, run it.
# Everything happens inside WORK_DIR, which is removed when the test passes.

function(run_step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${output}")
  endif()
  message(STATUS "${what}: ok")
endfunction()

set(prefix "${WORK_DIR}/prefix")
set(consumer_build "${WORK_DIR}/build")
set(config_args "")
if(CONFIG)
  set(config_args --config "${CONFIG}")
endif()
# A library built with the sanitizers needs them in the program that links it too.
set(flags "")
if(SANITIZE)
  set(flags "-fsanitize=address,undefined")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
run_step("install" "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}" ${config_args})
run_step("configure consumer"
  "${CMAKE_COMMAND}" -S "${CONSUMER_DIR}" -B "${consumer_build}" -G "${GENERATOR}"
  "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
  "-DCMAKE_BUILD_TYPE=${CONFIG}" "-DCMAKE_CXX_FLAGS=${flags}" "-DCMAKE_EXE_LINKER_FLAGS=${flags}"
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF)

# The package must come from the prefix, not from anywhere else on the machine.
file(STRINGS "${consumer_build}/CMakeCache.txt" package_dir REGEX "^kfile_DIR:")
string(FIND "${package_dir}" "${prefix}/" at)
if(NOT at GREATER -1)
  message(FATAL_ERROR "kfile was found outside the install prefix: ${package_dir}")
endif()

run_step("build consumer" "${CMAKE_COMMAND}" --build "${consumer_build}" ${config_args})
file(GLOB_RECURSE consumer "${consumer_build}/kfile_consumer" "${consumer_build}/kfile_consumer.exe")
if(NOT consumer)
  message(FATAL_ERROR "the consumer program was not built")
endif()
list(GET consumer 0 consumer)
run_step("run consumer" "${consumer}" "${WORK_DIR}/take.k")
file(REMOVE_RECURSE "${WORK_DIR}")
