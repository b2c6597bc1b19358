#pragma once
// The test module's locator node type, registered when the host provides locators.

#include <maya/MStatus.h>

class MFnPlugin;

MStatus registerTestLocator(MFnPlugin& plugin);
MStatus deregisterTestLocator(MFnPlugin& plugin);
