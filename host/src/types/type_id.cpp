#include <maya/MTypeId.h>

unsigned int MTypeId::id(MStatus* status) const {
    if (status)
        *status = MStatus::kSuccess;
    return id_;
}
