// TRC marker files: tab-separated text, "PathFileType 4 (X/Y/Z)", a row of header names and
// values, the marker names and their X/Y/Z columns, then one row per frame.
#pragma once

#include <ostream>

#include "ExportLayout.h"

// Writes the layout's positions (markers and segment translations; TRC holds no angles) of
// `contents` with `fileName` in the first line; missing values are empty cells. False when
// `out` failed.
bool WriteTrc(std::ostream& out, const kfile::KFileContents& contents, const ExportLayout& layout,
              const std::string& fileName);
