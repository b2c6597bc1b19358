# The module on its own platform makes the scene it makes on Linux. `kfile generate` writes a
# take of two subjects with the same segment names, markers with missing samples, several
# datagroups, and a root that walks more than once round its circle (900 frames at a person's
# pace), so that Euler angles cross +-pi. The same MEL then runs in minihost.exe under Wine and
# in the Linux build's minihost: load MayaKFileReader by bare name, import the take (by a
# Windows path with a drive letter and backslashes on Windows), give both subjects offset cubes
# (the second's cube names clash with the first's), copy Bob's keys onto Ann, remove the
# module's locator shapes and unload it.
# The two scene dumps, numbers with 9 significant digits, must be the same bytes.
#
# Variables: EMULATOR, MINIHOST (Windows), NATIVE_MINIHOST, NATIVE_KFILE (Linux), WORK_DIR.

include("${CMAKE_CURRENT_LIST_DIR}/WineSupport.cmake")

foreach(program IN ITEMS "${NATIVE_MINIHOST}" "${NATIVE_KFILE}")
  if(NOT EXISTS "${program}")
    message(FATAL_ERROR "No ${program}: build the ci preset first (scripts/test.sh does), or "
                        "set KFR_NATIVE_BUILD_DIR.")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
unset(ENV{MAYA_PLUG_IN_PATH})  # both find the module in their own build

kfr_run(generate "${NATIVE_KFILE}" generate "${WORK_DIR}/take.K" --subjects 2 --frames 900
        --markers 6 --segments 5 --missing-every 7)

# The script of one platform: `path_of` names the function that gives that platform's path.
function(write_script file path_of)
  cmake_language(CALL ${path_of} take "${WORK_DIR}/take.K")
  kfr_mel_string(take_text "${take}")
  file(WRITE "${file}" "loadPlugin MayaKFileReader;\n"
                       "file -import ${take_text};\n"
                       "select -r Bob; CreateOffsetCubes;\n"
                       "select -r Ann; CreateOffsetCubes;\n"
                       "select -r Bob Ann; CopyHierarchyKeys;\n"
                       "delete \"DOFLocator*\" \"MarkerLocator*\";\n"
                       "unloadPlugin MayaKFileReader;\n")
endfunction()
function(linux_path out path)
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

write_script("${WORK_DIR}/linux.mel" linux_path)
kfr_run(linux "${NATIVE_MINIHOST}" "${WORK_DIR}/linux.mel" --dump-digits 9
        --dump-to "${WORK_DIR}/linux.dump")

write_script("${WORK_DIR}/windows.mel" kfr_windows_path)
kfr_windows_path(script "${WORK_DIR}/windows.mel")
kfr_windows_path(dump "${WORK_DIR}/windows.dump")
kfr_run_windows(windows "${MINIHOST}" "${script}" --dump-digits 9 --dump-to "${dump}")

file(READ "${WORK_DIR}/linux.dump" linux_text)
file(READ "${WORK_DIR}/windows.dump" windows_text)
foreach(subject IN ITEMS Bob Ann)
  if(NOT linux_text MATCHES "\nnode \\|${subject}\\|Hips\\|Rot_Hips[0-9]* type=transform\n")
    message(FATAL_ERROR "The Linux scene has no |${subject}|Hips with its offset cube: see "
                        "${WORK_DIR}/linux.dump")
  endif()
endforeach()
# Euler angles past +-pi (by more than rounding) show that the rotations did cross it.
string(REGEX MATCHALL "type=animCurveTA\n(  key [^\n]+\n)+" rotation_curves "${linux_text}")
if(NOT rotation_curves MATCHES "  key [^ ]+ -?(3\\.(1[5-9]|[2-9])|[4-9]\\.|[1-9][0-9]+\\.)")
  message(FATAL_ERROR "No rotation key beyond +-pi: the takes no longer cross it")
endif()
if(linux_text STREQUAL windows_text)
  return()
endif()

# Where they part.
string(REPLACE ";" "," linux_text "${linux_text}")
string(REPLACE ";" "," windows_text "${windows_text}")
string(REPLACE "\n" ";" linux_lines "${linux_text}")
string(REPLACE "\n" ";" windows_lines "${windows_text}")
set(number 0)
foreach(linux_line windows_line IN ZIP_LISTS linux_lines windows_lines)
  math(EXPR number "${number} + 1")
  if(NOT "${linux_line}" STREQUAL "${windows_line}")
    set(linux_differs "${linux_line}")
    set(windows_differs "${windows_line}")
    break()
  endif()
endforeach()
message(FATAL_ERROR "The dumps differ first at line ${number}:\n"
                    "  Linux:   ${linux_differs}\n  Windows: ${windows_differs}\n"
                    "(${WORK_DIR}/linux.dump and windows.dump)")
