# The module on its own platform makes the scene it makes on Linux. The Windows kfile.exe
# writes two takes, subjects Bob and Ann with the same segment names, each with markers in
# datagroup 0 (some samples missing) and segments in datagroup 1 whose rotations swing past a
# quarter turn about Y, so that their Euler angles cross +-pi. The same MEL then runs in
# minihost.exe under Wine and in the Linux build's minihost: load MayaKFileReader by bare name,
# import both takes (by a Windows path with a drive letter and backslashes on Windows), remove
# the module's locator shapes and unload it. The two scene dumps, numbers with 9 significant
# digits, must be the same bytes.
#
# Variables: EMULATOR, MINIHOST, KFILE (Windows programs), NATIVE_MINIHOST, WORK_DIR.

include("${CMAKE_CURRENT_LIST_DIR}/WineSupport.cmake")

if(NOT EXISTS "${NATIVE_MINIHOST}")
  message(FATAL_ERROR "No Linux minihost at ${NATIVE_MINIHOST}: build the ci preset first "
                      "(scripts/test.sh does), or set KFR_NATIVE_BUILD_DIR.")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
unset(ENV{MAYA_PLUG_IN_PATH})  # both find the module in their own build

set(subjects Bob Ann)
foreach(subject IN LISTS subjects)
  kfr_windows_path(take "${WORK_DIR}/${subject}.K")
  kfr_run_windows(generate "${KFILE}" generate "${take}" --subject ${subject} --frames 240
                  --markers 6 --segments 5 --missing-every 7)
endforeach()

# The script of one platform: `path_of` names the function that gives that platform's path.
function(write_script file path_of)
  set(mel "loadPlugin MayaKFileReader;\n")
  foreach(subject IN LISTS subjects)
    cmake_language(CALL ${path_of} take "${WORK_DIR}/${subject}.K")
    kfr_mel_string(take_text "${take}")
    string(APPEND mel "file -import ${take_text};\n")
  endforeach()
  string(APPEND mel "delete \"DOFLocator*\" \"MarkerLocator*\";\n"
                    "unloadPlugin MayaKFileReader;\n")
  file(WRITE "${file}" "${mel}")
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
foreach(subject IN LISTS subjects)
  if(NOT linux_text MATCHES "\nnode \\|${subject}\\|Hips type=transform\n")
    message(FATAL_ERROR "The Linux scene has no |${subject}|Hips: see ${WORK_DIR}/linux.dump")
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
