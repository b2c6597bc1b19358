# A module's export table as the host reads it: initializePlugin, uninitializePlugin and
# MApiVersion by those very names (no decoration such as _initializePlugin@4), nothing else,
# and the text behind MApiVersion is "700".
#
# Variables: OBJDUMP, MODULE.

execute_process(COMMAND "${OBJDUMP}" -p "${MODULE}" RESULT_VARIABLE result
                OUTPUT_VARIABLE headers ERROR_VARIABLE headers)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${MODULE} failed:\n${headers}")
endif()

# "[Ordinal/Name Pointer] Table" lines: "[   1] initializePlugin", the index into the
# export address table.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)+" names_block "${headers}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" name_lines "${names_block}")
set(exported "")
foreach(line IN LISTS name_lines)
  string(REGEX MATCH "^\\[ *([0-9]+)\\] (.+)$" _ "${line}")
  list(APPEND exported "${CMAKE_MATCH_2}")
  set(index_of_${CMAKE_MATCH_2} "${CMAKE_MATCH_1}")
endforeach()
list(SORT exported)
set(expected MApiVersion initializePlugin uninitializePlugin)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "${MODULE} exports [${exported}], expected exactly [${expected}]")
endif()

# The address of MApiVersion: the image base plus its entry in the export address table
# ("[   0] +base[   1] c4008 Export RVA").
string(REGEX MATCH "ImageBase[ \t]+([0-9a-fA-F]+)" _ "${headers}")
set(image_base "${CMAKE_MATCH_1}")
string(REGEX MATCH "\\[ *${index_of_MApiVersion}\\] \\+base\\[ *[0-9]+\\] +([0-9a-fA-F]+) Export RVA"
       _ "${headers}")
set(rva "${CMAKE_MATCH_1}")
if(image_base STREQUAL "" OR rva STREQUAL "")
  message(FATAL_ERROR "no image base or address of MApiVersion in:\n${headers}")
endif()
math(EXPR start "0x${image_base} + 0x${rva}" OUTPUT_FORMAT HEXADECIMAL)
math(EXPR stop "${start} + 4" OUTPUT_FORMAT HEXADECIMAL)

# Its four bytes: "700" and the terminating NUL.
execute_process(COMMAND "${OBJDUMP}" -s "--start-address=${start}" "--stop-address=${stop}"
                        "${MODULE}"
                RESULT_VARIABLE result OUTPUT_VARIABLE contents ERROR_VARIABLE contents)
string(REGEX MATCH "\n [0-9a-fA-F]+ ([0-9a-fA-F]+)" _ "${contents}")
if(NOT result EQUAL 0 OR NOT CMAKE_MATCH_1 STREQUAL "37303000")
  message(FATAL_ERROR "MApiVersion at ${start} is not \"700\":\n${contents}")
endif()
