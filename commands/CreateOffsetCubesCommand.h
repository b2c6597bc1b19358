#pragma once
// CreateOffsetCubes: for every DOF node at or below the selected objects, two small polygon
// cubes ("Rot_" and "Pos_" followed by the node's name) made children of the DOF node, at its
// origin and with its orientation. Takes no arguments; the selection is left as it was.

#include <string>

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

class CreateOffsetCubesCommand : public MPxCommand {
  public:
    CreateOffsetCubesCommand();
    static void* creator();

    MStatus doIt(const MArgList& args) override;
    MStatus redoIt() override;

  private:
    // Makes the cubes of the first DOF node on each branch at or below the path.
    void createCubesBelow(const std::string& path) const;
    void createCube(const std::string& requestedName, const std::string& dofPath) const;

    // 5 cm in the UI distance unit, the unit polyCube reads its sizes in.
    float edgeLength_;
};
