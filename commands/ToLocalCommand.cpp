#include "commands/ToLocalCommand.h"

#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

void* ToLocalCommand::creator() {
    return new ToLocalCommand;
}

MStatus ToLocalCommand::doIt(const MArgList&) {
    return redoIt();
}

MStatus ToLocalCommand::redoIt() {
    MSelectionList saved;
    MGlobal::getActiveSelectionList(saved);
    MStringArray selected;
    saved.getSelectionStrings(selected);
    if (selected.length() >= 2) {
        MGlobal::setActiveSelectionList(saved, MGlobal::kReplaceList);
    }
    return MStatus::kSuccess;
}
