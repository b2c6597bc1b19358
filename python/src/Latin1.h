// Text in a K-file is 8-bit characters without a stated encoding. Python sees each byte as the
// character of the same code (Latin-1), so that any bytes read give a string and that string
// writes back to the same bytes.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

namespace kfile_python {

pybind11::str Latin1ToPython(const std::string& text);
// Raises ValueError for a character above U+00FF, which no byte stands for.
std::string PythonToLatin1(const pybind11::handle& text);

}  // namespace kfile_python
