# minihost.exe under Wine loads the stand-in's test module by bare name (LoadLibrary), runs one
# of its commands, imports a file through its translator by a Windows path with a drive letter
# and backslashes, unloads the module, and writes a scene dump that holds what the file made.
#
# Variables: EMULATOR, MINIHOST, MODULE_DIR (where the test module is), WORK_DIR.

include("${CMAKE_CURRENT_LIST_DIR}/WineSupport.cmake")

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(WRITE "${WORK_DIR}/scene.hts" "group -em -n FromTheImportedFile;\n")

kfr_windows_path(scene "${WORK_DIR}/scene.hts")
kfr_windows_path(dump "${WORK_DIR}/scene.dump")
kfr_windows_path(modules "${MODULE_DIR}")
kfr_mel_string(scene_text "${scene}")
set(ENV{MAYA_PLUG_IN_PATH} "${modules}")

kfr_run_windows(minihost "${MINIHOST}"
  -c "loadPlugin hosttestplugin"
  -c "testEcho loaded"
  -c "file -import ${scene_text}"
  -c "unloadPlugin hosttestplugin"
  --dump-to "${dump}")

if(NOT minihost_OUTPUT MATCHES "Result: loaded")
  message(FATAL_ERROR "the module's command gave no result:\n${minihost_OUTPUT}")
endif()
file(READ "${WORK_DIR}/scene.dump" dump_text)
if(NOT dump_text MATCHES "node \\|FromTheImportedFile type=transform")
  message(FATAL_ERROR "the imported file made nothing:\n${dump_text}")
endif()
if(dump_text MATCHES "\r")
  message(FATAL_ERROR "the dump was written in text mode")
endif()
