// The compiled core of the `kfile` Python package. The package's public classes and functions
// live in kfile/__init__.py; this module moves takes between files and NumPy arrays.
#include <pybind11/pybind11.h>

#include "Take.h"

namespace py = pybind11;

PYBIND11_MODULE(_kfile, module) {
    module.doc() = "Compiled core of the kfile package: takes between K-files and NumPy arrays.";
    module.attr("__version__") = KFR_VERSION;
    module.def("read", &kfile_python::ReadTake, py::arg("path"),
               "Reads the take at `path` into plain values (see kfile.read for the classes).");
    module.def("read_contents_only", &kfile_python::ReadContentsOnly, py::arg("path"),
               "Reads the take with the C++ library alone, building no arrays; answers its "
               "number of dynamic records, or -1 when it does not read. A benchmark baseline.");
    module.def("validate", &kfile_python::ValidateBytes, py::arg("take"),
               "The findings of `kfile validate` on the bytes of a take.");
    module.def("write", &kfile_python::WriteTake, py::arg("path"), py::arg("version"),
               py::arg("parameters"), py::arg("datagroups"), py::arg("unknown_sections"),
               py::arg("record_order"),
               "Writes a take given as plain values (see kfile.write for the classes).");
    module.def("export", &kfile_python::ExportTake, py::arg("path"), py::arg("format"),
               py::arg("datagroup"), py::arg("version"), py::arg("parameters"),
               py::arg("datagroups"), py::arg("unknown_sections"), py::arg("record_order"),
               "Writes a take given as plain values as C3D or TRC, as `kfile export` does.");
    module.def("write_file", &kfile_python::WriteFile, py::arg("path"), py::arg("data"),
               "Writes bytes to `path` as a take is written: complete or not at all.");
}
