// The checks of `kfile validate`, from the same sources, for kfile.validate.
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "Latin1.h"
#include "Take.h"
#include "TakeChecks.h"

namespace py = pybind11;

namespace kfile_python {

py::list ValidateBytes(const py::bytes& take) {
    const std::string_view view = take;
    const std::vector<uint8_t> bytes(view.begin(), view.end());
    std::vector<Finding> findings;
    {
        py::gil_scoped_release release;  // the checks touch no Python object
        findings = CheckTake(bytes);
    }
    py::list found;
    for (const Finding& finding : findings) {
        found.append(py::make_tuple(finding.check, finding.problem, Latin1ToPython(finding.section),
                                    finding.record, finding.offset,
                                    Latin1ToPython(finding.message)));
    }
    return found;
}

}  // namespace kfile_python
