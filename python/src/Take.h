// Conversions between takes read or written by the K-file library and the plain Python values
// that the `kfile` package builds its classes from.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

namespace kfile_python {

// Reads the take at `path` into a dict:
//   version: int
//   parameters: [(name, value type, dimensions, values: ndarray or [str])]
//   datagroups: [(id, name, value type, rate, labels, frames: int32[n], values: float64[n, c])]
//   sections: [(name, offset, size, kept)] for every section header met
//   error: None, or (reason, message, offset, section) when the take could not be read
pybind11::dict ReadTake(const std::string& path);

// Reads the take with the library alone and answers its number of dynamic records, or -1 when
// it does not read: the baseline that array building is measured against.
int64_t ReadContentsOnly(const std::string& path);

// Writes a take made of plain values:
//   parameters: [(name, value type, dimensions, raw little-endian value bytes)]
//   datagroups: [(id, name, value type, rate, labels, frames, values)] with values a
//     frames x channels array in which NaN stands for a missing value.
// Raises ValueError for what the file layout cannot hold, before writing anything. Answers 0
// when the take was written, else the system's error number of the failure (EIO when the
// system gave none).
int WriteTake(const std::string& path, int version, const pybind11::list& parameters,
              const pybind11::list& datagroups);

}  // namespace kfile_python
