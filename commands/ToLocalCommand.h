#pragma once
// ToLocal: reads the selection and leaves the scene and the selection as they were. Takes no
// arguments.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

class ToLocalCommand : public MPxCommand {
  public:
    static void* creator();

    MStatus doIt(const MArgList& args) override;
    MStatus redoIt() override;
};
