# Helpers of the scripts that run this build's Windows programs under Wine.
#
# Expects EMULATOR: the command that starts a Windows program (the toolchain's emulator, with
# "|" in place of ";" so that it passes through a test's command line as one argument).

string(REPLACE "|" ";" KFR_EMULATOR "${EMULATOR}")

# The Windows form of a local path as Wine shows it: drive Z: is the root of the file system.
function(kfr_windows_path out path)
  string(REPLACE "/" "\\" windows "Z:${path}")
  set(${out} "${windows}" PARENT_SCOPE)
endfunction()

# The text of a MEL string literal holding `text`.
function(kfr_mel_string out text)
  string(REPLACE "\\" "\\\\" escaped "${text}")
  string(REPLACE "\"" "\\\"" escaped "${escaped}")
  set(${out} "\"${escaped}\"" PARENT_SCOPE)
endfunction()

# Runs a command and stops the script with its output when it fails. The output is left in
# ${prefix}_OUTPUT.
function(kfr_run prefix)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command}\nexited with ${result}:\n${output}")
  endif()
  set(${prefix}_OUTPUT "${output}" PARENT_SCOPE)
endfunction()

function(kfr_run_windows prefix)
  kfr_run(run ${KFR_EMULATOR} ${ARGN})
  set(${prefix}_OUTPUT "${run_OUTPUT}" PARENT_SCOPE)
endfunction()
