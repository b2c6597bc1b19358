#include "Latin1.h"

namespace py = pybind11;

namespace kfile_python {

py::str Latin1ToPython(const std::string& text) {
    PyObject* decoded =
        PyUnicode_DecodeLatin1(text.data(), static_cast<Py_ssize_t>(text.size()), nullptr);
    if (!decoded) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::str>(decoded);
}

std::string PythonToLatin1(const py::handle& text) {
    if (!PyUnicode_Check(text.ptr())) {
        throw py::type_error("expected a str, got " + std::string(py::str(text.get_type())));
    }
    PyObject* encoded = PyUnicode_AsLatin1String(text.ptr());
    if (!encoded) {
        // UnicodeEncodeError is a ValueError; keep Python's message, which names the character.
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::bytes>(encoded);
}

}  // namespace kfile_python
