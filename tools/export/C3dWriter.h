// C3D files: a 512-byte header block, the parameter section and the 3D and analog data, in
// Intel byte order (processor type 84) with single-precision floats (a negative POINT:SCALE).
#pragma once

#include <ostream>
#include <string>

#include "ExportLayout.h"

// What of the layout a C3D file cannot hold (too many points or channels for its 16-bit
// counts, too many labels for its parameter blocks), or empty.
std::string C3dProblem(const ExportLayout& layout);

// Writes the layout's points and analog channels of `contents`; false when `out` failed.
// Frames without a value are the format's invalid points: residual -1, coordinates 0.
bool WriteC3d(std::ostream& out, const kfile::KFileContents& contents, const ExportLayout& layout);
