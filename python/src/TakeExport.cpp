// Takes written as C3D or TRC from Python, through the export code of the kfile command.

#include "TakeExport.h"
#include "Take.h"

namespace py = pybind11;

namespace kfile_python {

py::tuple ExportTake(const std::string& path, const std::string& format,
                     const py::object& datagroup, int version, const py::list& parameters,
                     const py::list& datagroups, const py::list& unknownSections,
                     const py::object& recordOrder) {
    if (format != "c3d" && format != "trc") {
        throw py::value_error("the export formats are 'c3d' and 'trc', not '" + format + "'");
    }
    std::optional<int16_t> chosen;
    if (!datagroup.is_none()) {
        const auto id = datagroup.cast<long long>();
        if (id < INT16_MIN || id > INT16_MAX) {
            throw py::value_error("a datagroup id is from -32768 to 32767");
        }
        chosen = static_cast<int16_t>(id);
    }
    const std::unique_ptr<kfile::KFileContents> contents =
        BuildTake(version, parameters, datagroups, unknownSections, recordOrder);
    ExportResult result;
    {
        py::gil_scoped_release release;  // the export touches no Python object
        result = ::ExportTake(*contents, format == "c3d" ? ExportFormat::kC3d : ExportFormat::kTrc,
                              chosen, path);
    }
    py::list leftOut;
    for (const std::string& line : result.leftOut) {
        leftOut.append(py::bytes(line).attr("decode")("latin-1"));
    }
    const py::object problem = result.problem.empty()
                                   ? py::object(py::none())
                                   : py::bytes(result.problem).attr("decode")("latin-1");
    const int error = result.problem.empty() ? ErrorNumber(result.write) : 0;
    return py::make_tuple(problem, leftOut, error);
}

}  // namespace kfile_python
