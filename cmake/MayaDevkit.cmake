# The host's own devkit in place of the stand-in: Maya::Maya becomes the devkit's headers
# (MAYA_LOCATION/include) and libraries (MAYA_LOCATION/lib), with the definitions its headers
# expect on this platform.

set(kfr_devkit_include "${MAYA_LOCATION}/include")
if(NOT EXISTS "${kfr_devkit_include}/maya/MFnPlugin.h")
  message(FATAL_ERROR "MAYA_LOCATION=${MAYA_LOCATION} holds no devkit: "
                      "${kfr_devkit_include}/maya/MFnPlugin.h is missing")
endif()

add_library(Maya::Maya INTERFACE IMPORTED GLOBAL)
target_include_directories(Maya::Maya INTERFACE "${kfr_devkit_include}")

foreach(library Foundation OpenMaya OpenMayaAnim OpenMayaUI)
  find_library(MAYA_${library}_LIBRARY NAMES ${library} PATHS "${MAYA_LOCATION}/lib"
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  target_link_libraries(Maya::Maya INTERFACE "${MAYA_${library}_LIBRARY}")
endforeach()

if(WIN32)
  # NT_PLUGIN: <maya/MFnPlugin.h> defines DllMain and PLUGIN_EXPORT exports. The locators draw
  # with the system's OpenGL.
  target_compile_definitions(Maya::Maya INTERFACE NT_PLUGIN REQUIRE_IOSTREAM)
  target_link_libraries(Maya::Maya INTERFACE opengl32)
else()
  # The devkit's headers test these; a strict C++ mode does not define linux itself. OpenGL
  # is already loaded in the host's process.
  target_compile_definitions(Maya::Maya INTERFACE _BOOL linux LINUX REQUIRE_IOSTREAM)
endif()
