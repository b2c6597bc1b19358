// Conversions between takes read or written by the K-file library and the plain Python values
// that the `kfile` package builds its classes from.
#pragma once

#include <pybind11/pybind11.h>

#include <memory>
#include <string>

#include "kfile/kfile.h"

namespace kfile_python {

// Reads the take at `path` into a dict:
//   version: int
//   parameters: [(name, value type, dimensions, values: ndarray or [str])]
//   datagroups: [(id, name, value type, rate, labels, frames: int32[n], values: float64[n, c])]
//   sections: [(name, offset, size, kept)] for every section header met
//   unknown_sections: [(name, offset, size, body bytes, index among the kept sections)]
//   record_order: int32[records, 2], (datagroup id, frame) of each dynamic record in file order
//   error: None, or (reason, message, offset, section) when the take could not be read
pybind11::dict ReadTake(const std::string& path);

// Reads the take with the library alone and answers its number of dynamic records, or -1 when
// it does not read: the baseline that array building is measured against.
int64_t ReadContentsOnly(const std::string& path);

// Writes a take made of plain values:
//   parameters: [(name, value type, dimensions, raw little-endian value bytes)]
//   datagroups: [(id, name, value type, rate, labels, frames, values)] with values a
//     frames x channels array in which NaN stands for a missing value
//   unknownSections: [(name, body bytes, index among the sections)], sorted by index
//   recordOrder: None, or records x 2 (datagroup id, frame) in the order to write them
// Sections are written parameters first, then datagroups, with the unknown ones at their
// indices; records in recordOrder as far as it names them, the others in the order of their
// times.
// Raises ValueError for what the file layout cannot hold, before writing anything. Answers 0
// when the take was written, else the system's error number of the failure (EIO when the
// system gave none).
int WriteTake(const std::string& path, int version, const pybind11::list& parameters,
              const pybind11::list& datagroups, const pybind11::list& unknownSections,
              const pybind11::object& recordOrder);

// The take of WriteTake's plain values, built in memory; raises ValueError as WriteTake does.
std::unique_ptr<kfile::KFileContents> BuildTake(int version, const pybind11::list& parameters,
                                                const pybind11::list& datagroups,
                                                const pybind11::list& unknownSections,
                                                const pybind11::object& recordOrder);

// Writes the take of WriteTake's plain values as "c3d" or "trc" with the points of
// `datagroup` (None: the first datagroup with markers), through the code of `kfile export`.
// Answers (problem, left out, errno): why the take cannot be exported or None, the sentences
// of what the file does not hold, and 0 or the system's error number of a failed write.
pybind11::tuple ExportTake(const std::string& path, const std::string& format,
                           const pybind11::object& datagroup, int version,
                           const pybind11::list& parameters, const pybind11::list& datagroups,
                           const pybind11::list& unknownSections,
                           const pybind11::object& recordOrder);

// 0 for a write that was made, else the system's error number (EIO where there is none).
int ErrorNumber(const kfile::KWriteReport& report);

// Writes the bytes to `path` as the library writes a take: replacing a file there only once all
// are written, and never one this user may not write. Answers 0 or the error number.
int WriteFile(const std::string& path, const pybind11::bytes& data);

// The findings of `kfile validate` on the bytes of a take: [(check, problem, section, record,
// offset, message)], record -1 where none applies.
pybind11::list ValidateBytes(const pybind11::bytes& take);

}  // namespace kfile_python
