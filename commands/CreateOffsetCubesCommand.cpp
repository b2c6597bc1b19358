#include "commands/CreateOffsetCubesCommand.h"

#include <cstdio>

#include <maya/MDistance.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include "commands/DagWalk.h"

namespace {

std::string polyCubeCommand(float edgeLength, const std::string& name) {
    // Three floats printed with "%f" take at most 47 characters each.
    char text[256];
    std::snprintf(text, sizeof text,
                  "polyCube -w %f -h %f -d %f -sx 1 -sy 1 -sz 1 -ax 0 1 0 -tx 1 -ch 0 -n ",
                  edgeLength, edgeLength, edgeLength);
    return text + name;
}

}  // namespace

CreateOffsetCubesCommand::CreateOffsetCubesCommand()
    : edgeLength_(
          static_cast<float>(MDistance(5.0, MDistance::kCentimeters).as(MDistance::uiUnit()))) {}

void* CreateOffsetCubesCommand::creator() {
    return new CreateOffsetCubesCommand;
}

MStatus CreateOffsetCubesCommand::doIt(const MArgList&) {
    return redoIt();
}

MStatus CreateOffsetCubesCommand::redoIt() {
    MSelectionList saved;
    MGlobal::getActiveSelectionList(saved);
    for (const std::string& path : dagwalk::selectionStrings(saved)) {
        createCubesBelow(path);
    }
    MGlobal::setActiveSelectionList(saved, MGlobal::kReplaceList);
    return MStatus::kSuccess;
}

void CreateOffsetCubesCommand::createCubesBelow(const std::string& path) const {
    const std::vector<std::string> children = dagwalk::childPaths(path);
    if (dagwalk::hasLocatorShape(children, {"DOFLocator"})) {
        const std::string leaf = dagwalk::leafName(path);
        createCube("Rot_" + leaf, path);
        createCube("Pos_" + leaf, path);
        return;
    }
    // The children are listed again before the walk goes down: the host records and echoes
    // this query twice per node, a sequence that scripts and logs of the command rely on.
    for (const std::string& child : dagwalk::childPaths(path)) {
        createCubesBelow(child);
    }
}

void CreateOffsetCubesCommand::createCube(const std::string& requestedName,
                                          const std::string& dofPath) const {
    // The host renames a new cube whose name is taken (a second subject with a segment of
    // the same name, or a second run), so the cube is addressed by the name it was given:
    // the requested name could belong to an older cube elsewhere in the scene.
    MStringArray made;
    MGlobal::executeCommand(MString(polyCubeCommand(edgeLength_, requestedName).c_str()), made,
                            false, false);
    if (made.length() == 0) {
        return;  // no cube was made; the requested name must not reach an older one
    }
    const std::string cube = made[0].asChar();
    for (const std::string& command :
         {"select -r " + cube, "select -tgl " + dofPath, std::string("parent"),
          "select -r " + dofPath, "select -tgl " + cube, std::string("pointConstraint"),
          std::string("orientConstraint"), "select -r " + cube, std::string("delete -cn")}) {
        dagwalk::run(command);
    }
}
