# The host's own devkit in place of the stand-in: Maya::Maya becomes the devkit's headers
# (MAYA_LOCATION/include) and libraries (MAYA_LOCATION/lib), with the definitions its headers
# expect on this platform.

set(kfr_devkit_include "${MAYA_LOCATION}/include")
if(NOT EXISTS "${kfr_devkit_include}/maya/MFnPlugin.h")
  message(FATAL_ERROR "MAYA_LOCATION=${MAYA_LOCATION} holds no devkit: "
                      "${kfr_devkit_include}/maya/MFnPlugin.h is missing")
endif()

# The host's Windows libraries are built with MSVC and export MSVC-decorated C++ names, which
# objects of another compiler cannot link to. A devkit-shaped folder whose libraries this very
# compiler built (the stand-in's, in the project's own tests) says so with this option.
option(KFR_DEVKIT_SAME_COMPILER
       "The devkit's libraries were built by this compiler (a stand-in, not the host's)" OFF)
if(WIN32 AND NOT MSVC AND NOT KFR_DEVKIT_SAME_COMPILER)
  message(FATAL_ERROR
    "A module for the host on Windows is built with the devkit's compiler, MSVC: the host's "
    "libraries export MSVC-decorated C++ names, and ${CMAKE_CXX_COMPILER_ID} objects cannot "
    "link to them. Configure with MSVC (for example the Visual Studio generator), or build "
    "without MAYA_LOCATION to check the module against the stand-in.")
endif()

add_library(Maya::Maya INTERFACE IMPORTED GLOBAL)
target_include_directories(Maya::Maya INTERFACE "${kfr_devkit_include}")

# Devkits with Viewport 2.0 (2016 on) have its API in a library of its own.
set(kfr_devkit_libraries Foundation OpenMaya OpenMayaAnim OpenMayaUI)
if(EXISTS "${kfr_devkit_include}/maya/MPxDrawOverride.h")
  list(APPEND kfr_devkit_libraries OpenMayaRender)
endif()
foreach(library ${kfr_devkit_libraries})
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
