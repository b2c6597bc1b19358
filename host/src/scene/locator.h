#pragma once
// Shared by the stand-in's calls into plug-in locators, in either viewport.

#include <maya/MBoundingBox.h>

#include <string>

#include "scene/model.h"

namespace scene {

// Sets *error to the text when error is not null.
void fail(std::string* error, const std::string& text);
// The plug-in locator shape a name means: the shape itself, or the transform above it; null
// (and the reason) when it is neither.
Node* locatorNamed(const std::string& name, std::string* error);
void copyBox(const MBoundingBox& box, double min[3], double max[3]);

}  // namespace scene
