# Script of the devkit-path test: make a devkit-shaped folder from the stand-in, configure and
# build the module with MAYA_LOCATION pointing at it, check what the compiler was given and what
# the module exports, and load it into minihost.
#
# Variables: SOURCE_DIR, WORK_DIR, DEVKIT_LIBRARY (the stand-in's library, or on Windows its
# import library), GENERATOR, BUILD_TYPE, C_COMPILER, CXX_COMPILER, LAUNCHER, TOOLCHAIN_FILE,
# SANITIZE, WINDOWS, NM, OBJDUMP, EMULATOR, MINIHOST, MODULE_DIR (the modules of the build that
# runs the test), TAKE (a small take to import).

include("${SOURCE_DIR}/tests/win32/WineSupport.cmake")  # kfr_run, kfr_windows_path

set(devkit "${WORK_DIR}/devkit")
set(build "${WORK_DIR}/build")
file(REMOVE_RECURSE "${devkit}")  # the build folder stays, so that a rerun builds only changes

# The devkit's layout: headers in include/maya, one library per part of the API in lib. Like
# the 7.0 devkit it has no Viewport 2.0, so the module is built without its draw overrides.
file(GLOB headers "${SOURCE_DIR}/host/include/maya/*.h")
list(REMOVE_ITEM headers "${SOURCE_DIR}/host/include/maya/MPxDrawOverride.h")
file(COPY ${headers} DESTINATION "${devkit}/include/maya")
file(MAKE_DIRECTORY "${devkit}/lib")
foreach(library Foundation OpenMaya OpenMayaAnim OpenMayaUI)
  if(WINDOWS)
    set(name "${library}.lib")
  else()
    set(name "lib${library}.so")
  endif()
  file(COPY_FILE "${DEVKIT_LIBRARY}" "${devkit}/lib/${name}")
endforeach()

set(options "-DMAYA_LOCATION=${devkit}" "-DCMAKE_BUILD_TYPE=${BUILD_TYPE}"
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DKFR_WARNINGS_AS_ERRORS=ON "-DKFR_SANITIZE=${SANITIZE}")
if(TOOLCHAIN_FILE)
  list(APPEND options "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE}")
else()
  list(APPEND options "-DCMAKE_C_COMPILER=${C_COMPILER}" "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}")
endif()
if(LAUNCHER)
  list(APPEND options "-DCMAKE_C_COMPILER_LAUNCHER=${LAUNCHER}"
       "-DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER}")
endif()
if(WINDOWS)
  # Only MSVC objects link to the host's Windows libraries: another compiler is refused at
  # configure time, unless the devkit folder says its libraries are this compiler's own.
  execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${WORK_DIR}/refused"
                          -G "${GENERATOR}" ${options}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(result EQUAL 0 OR NOT output MATCHES "built with the devkit's compiler, MSVC")
    message(FATAL_ERROR "a MinGW build against a Windows devkit was not refused:\n${output}")
  endif()
  list(APPEND options -DKFR_DEVKIT_SAME_COMPILER=ON)
endif()
kfr_run(configure "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${build}" -G "${GENERATOR}" ${options})
kfr_run(compile "${CMAKE_COMMAND}" --build "${build}" --target MayaKFileReader)

# Every unit of the module was compiled against the devkit's headers with its definitions,
# never against the stand-in's own folder.
file(READ "${build}/compile_commands.json" commands)
string(REGEX MATCHALL
       "\"command\": \"[^\n]*CMakeFiles/(kfr_import|kfr_nodes|kfr_commands|MayaKFileReader)\\.dir/[^\n]*"
       module_commands "${commands}")
list(LENGTH module_commands units)
if(units LESS 10)
  message(FATAL_ERROR "only ${units} module units in ${build}/compile_commands.json")
endif()
if(WINDOWS)
  set(definitions NT_PLUGIN REQUIRE_IOSTREAM)
else()
  set(definitions _BOOL linux LINUX REQUIRE_IOSTREAM)
endif()
foreach(command IN LISTS module_commands)
  if(command MATCHES "host/include" OR NOT command MATCHES "(-I|-isystem )${devkit}/include")
    message(FATAL_ERROR "not compiled against the devkit folder alone:\n${command}")
  endif()
  foreach(definition IN LISTS definitions)
    if(NOT command MATCHES "-D${definition}( |$)")
      message(FATAL_ERROR "${definition} is not defined in:\n${command}")
    endif()
  endforeach()
endforeach()

# The export table and the load.
if(WINDOWS)
  set(module "${build}/modules/MayaKFileReader.mll")
  kfr_run(exports "${CMAKE_COMMAND}" "-DOBJDUMP=${OBJDUMP}" "-DMODULE=${module}"
          -P "${SOURCE_DIR}/tests/win32/CheckExports.cmake")
  kfr_windows_path(modules "${build}/modules")
  kfr_windows_path(own_modules "${MODULE_DIR}")
  kfr_windows_path(take "${TAKE}")
  set(ENV{MAYA_PLUG_IN_PATH} "${modules}")
  string(REPLACE "|" ";" run "${EMULATOR}")
else()
  set(module "${build}/modules/MayaKFileReader.so")
  kfr_run(symbols "${NM}" -D --defined-only "${module}")
  string(REGEX MATCHALL "[^ \n]+\n" exported "${symbols_OUTPUT}")
  string(REPLACE "\n" "" exported "${exported}")
  list(SORT exported)
  if(NOT exported STREQUAL "MApiVersion;initializePlugin;uninitializePlugin")
    message(FATAL_ERROR "${module} exports [${exported}], expected exactly "
                        "[MApiVersion;initializePlugin;uninitializePlugin]")
  endif()
  set(ENV{MAYA_PLUG_IN_PATH} "${build}/modules")
  set(own_modules "${MODULE_DIR}")
  set(take "${TAKE}")
  set(run "")
endif()
kfr_run(load ${run} "${MINIHOST}" -c "loadPlugin MayaKFileReader" -c "ToLocal"
        -c "unloadPlugin MayaKFileReader")
if(load_OUTPUT MATCHES "Error")
  message(FATAL_ERROR "minihost reported an error:\n${load_OUTPUT}")
endif()

# The same import makes the same scene whichever draws the module has: this one only the
# legacy draw, the build's own module its Viewport 2.0 overrides too.
kfr_mel_string(take_text "${take}")
set(import -c "loadPlugin MayaKFileReader" -c "file -import ${take_text}" --dump)
kfr_run(legacy_only ${run} "${MINIHOST}" ${import})
set(ENV{MAYA_PLUG_IN_PATH} "${own_modules}")
kfr_run(both_draws ${run} "${MINIHOST}" ${import})
if(NOT legacy_only_OUTPUT STREQUAL both_draws_OUTPUT OR NOT legacy_only_OUTPUT MATCHES "DOFLocator")
  message(FATAL_ERROR "the two modules made different scenes:\n${legacy_only_OUTPUT}\n---\n"
                      "${both_draws_OUTPUT}")
endif()
