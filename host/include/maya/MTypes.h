#pragma once
// Basic types shared by the whole API: the version, the creator and initializer function
// types that registration takes, and the export marker for a module's entry points.

#include <cstddef>

#define MAYA_API_VERSION 700

class MStatus;
class MSyntax;

typedef void* (*MCreatorFunction)();
typedef MStatus (*MInitializeFunction)();
typedef MSyntax (*MCreateSyntaxFunction)();

// Exports only: a module declares its entry points extern "C" itself, so that the host
// finds them by their plain names. As in the devkit it is empty on Linux, where a module must
// not hide its entry points (no default of hidden visibility, or an export list).
#ifdef _WIN32
#define PLUGIN_EXPORT __declspec(dllexport)
#else
#define PLUGIN_EXPORT
#endif

#ifndef NULL
#define NULL 0
#endif
