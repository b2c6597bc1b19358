// The scene's MEL commands: normal use and refusals, with the exact texts the module sends.

#include <maya/MFnAnimCurve.h>
#include <maya/MPlugArray.h>

#include "scene_fixture.h"

namespace scenetest {
namespace {

class Mel : public SceneTest {
  protected:
    std::string buildScene() {
        host::resetScene();
        mel("group -em -n Bob");
        mel("createNode -n HipsShape -p Bob TestLocator");
        mel("setAttr HipsShape.size 2.5");
        mel("setKeyframe -t 1 -t 10 -v 3 -at tx Bob");
        mel("polyCube -w 2 -h 2 -d 2 -ch 0 -n Cube");
        mel("pointConstraint Bob Cube");
        mel("playbackOptions -min 0 -max 100");
        mel("select -r Bob");
        return host::sceneDump();
    }
};

TEST_F(Mel, GroupEmptyWithAndWithoutName) {
    EXPECT_EQ(mel("group -em -n Bob"), Strings{"Bob"});
    EXPECT_EQ(selection(), Strings{"|Bob"});
    EXPECT_EQ(mel("group -em"), Strings{"group1"});
    EXPECT_EQ(mel("group -empty -name group1"), Strings{"group2"});
    size_t before = scene().nodes().size();
    EXPECT_TRUE(melFails("group -em -n "));  // the module's text for an empty prefix
    EXPECT_TRUE(melFails("group -em -n"));
    EXPECT_EQ(scene().nodes().size(), before);
    EXPECT_TRUE(melFails("group -em -p Nobody"));
}

TEST_F(Mel, GroupOfObjectsKeepsTheirWorldPositions) {
    mel("group -em -n A");
    mel("setAttr A.t 1 2 3");
    mel("group -em -n P");
    mel("setAttr P.t 10 0 0");
    EXPECT_EQ(mel("group -n G -p P A"), Strings{"G"});
    EXPECT_EQ(scene().fullPath(node("A")), "|P|G|A");
    EXPECT_EQ(mel("getAttr A.t"), (Strings{"-9", "2", "3"}));
}

TEST_F(Mel, ListRelativesChildrenInParentingOrderShapesIncluded) {
    mel("group -em -n Bob");
    mel("createNode -n HipsShape -p Bob TestLocator");
    mel("group -em -n Spine -p Bob");
    EXPECT_EQ(mel("listRelatives -c -f |Bob"), (Strings{"|Bob|HipsShape", "|Bob|Spine"}));
    EXPECT_EQ(mel("listRelatives -c Bob"), (Strings{"HipsShape", "Spine"}));
    EXPECT_EQ(mel("listRelatives -c -f -s Bob"), Strings{"|Bob|HipsShape"});
    EXPECT_TRUE(mel("listRelatives -c -f |Bob|Spine").empty());
    EXPECT_EQ(mel("listRelatives -p -f Spine"), Strings{"|Bob"});
    EXPECT_TRUE(mel("listRelatives -p -f Bob").empty());
    mel("group -em -n Deep -p Spine");
    EXPECT_EQ(mel("listRelatives -ad -f Bob"),
              (Strings{"|Bob|HipsShape", "|Bob|Spine", "|Bob|Spine|Deep"}));
    EXPECT_TRUE(melFails("listRelatives -c -f |Nobody"));
    EXPECT_TRUE(melFails("listRelatives -x Bob"));
}

TEST_F(Mel, PolyCubeAsTheModuleIssuesIt) {
    const char* cube =
        "polyCube -w 5.000000 -h 5.000000 -d 5.000000 -sx 1 -sy 1 -sz 1 -ax 0 1 0 -tx 1 -ch 0 "
        "-n Rot_Hips";
    EXPECT_EQ(mel(cube), Strings{"Rot_Hips"});
    EXPECT_EQ(selection(), Strings{"|Rot_Hips"});
    EXPECT_EQ(mel("listRelatives -c -f Rot_Hips"), Strings{"|Rot_Hips|Rot_HipsShape"});
    EXPECT_EQ(mel("ls -type mesh"), Strings{"Rot_HipsShape"});
    EXPECT_EQ(mel(cube), Strings{"Rot_Hips1"});
    EXPECT_EQ(mel("listRelatives -c Rot_Hips1"), Strings{"Rot_HipsShape1"});
    EXPECT_EQ(mel("polyCube"), Strings{"pCube1"});
    EXPECT_EQ(mel("listRelatives -c pCube1"), Strings{"pCubeShape1"});
    EXPECT_EQ(scene().fullPath(node("Rot_Hips")), "|Rot_Hips");
    EXPECT_EQ(node("Rot_HipsShape")->points.size(), 8u);
    EXPECT_DOUBLE_EQ(node("Rot_HipsShape")->points[7][0], 2.5);

    MDistance::setUIUnit(MDistance::kMillimeters);
    mel("polyCube -w 50.000000 -h 50 -d 50 -ch 0 -n Mm");
    EXPECT_DOUBLE_EQ(node("MmShape")->points[7][1], 2.5);  // kept in centimetres

    EXPECT_TRUE(melFails("polyCube -ch 1"));
    EXPECT_TRUE(melFails("polyCube -sx 2 -ch 0"));
    EXPECT_TRUE(melFails("polyCube -ax 1 0 0 -ch 0"));
    EXPECT_TRUE(melFails("polyCube -w -1 -ch 0"));
    EXPECT_TRUE(melFails("polyCube -w abc -ch 0"));
    EXPECT_TRUE(melFails("polyCube -q -ch 0"));
}

TEST_F(Mel, DeleteNamedOrSelectedTakesChildrenAndTheirCurves) {
    mel("group -em -n A");
    mel("group -em -n B -p A");
    mel("setKeyframe -at tx -t 1 -v 1 B");
    mel("group -em -n C");
    mel("select -r C");
    mel("delete A");
    EXPECT_EQ(mel("ls"), Strings{"C"});
    mel("delete");
    EXPECT_TRUE(mel("ls").empty());
    EXPECT_TRUE(melFails("delete"));
    EXPECT_TRUE(melFails("delete Nobody"));
    EXPECT_TRUE(melFails("delete -ch"));
}

TEST_F(Mel, SetKeyframeAndKeyframeQuery) {
    mel("group -em -n Bob");
    EXPECT_EQ(mel("setKeyframe -t 10 -v 2 Bob.tx"), Strings{"1"});
    EXPECT_EQ(mel("setKeyframe -t 1 -t 5 -v 4 Bob.tx"), Strings{"2"});
    EXPECT_EQ(mel("setKeyframe -t 5 -v 90 -at rz Bob"), Strings{"1"});
    EXPECT_EQ(one("keyframe -q -kc Bob"), "4");
    EXPECT_EQ(one("keyframe -q -kc -at tx Bob"), "3");
    EXPECT_EQ(mel("keyframe -q -tc Bob.tx"), (Strings{"1", "5", "10"}));
    EXPECT_EQ(mel("keyframe -q -vc Bob.tx"), (Strings{"4", "4", "2"}));
    EXPECT_EQ(mel("keyframe -q -vc Bob.rz"), Strings{"90"});
    EXPECT_EQ(mel("keyframe -q -tc -t \"2:20\" Bob.tx"), (Strings{"5", "10"}));
    EXPECT_EQ(mel("keyframe -q -n Bob"), (Strings{"Bob_translateX", "Bob_rotateZ"}));
    EXPECT_EQ(one("keyframe -q -kc Bob_rotateZ"), "1");
    mel("select -r Bob");
    EXPECT_EQ(one("keyframe -q -kc"), "4");
    // Keys on every keyable channel, at the current time, with the current values.
    mel("group -em -n Empty");
    EXPECT_EQ(mel("setKeyframe Empty"), Strings{"10"});
    EXPECT_EQ(mel("getAttr Empty.sx"), Strings{"1"});

    EXPECT_TRUE(melFails("keyframe -kc Bob"));
    EXPECT_TRUE(melFails("keyframe -q Bob"));
    EXPECT_TRUE(melFails("keyframe -q -kc -tc Bob"));
    EXPECT_TRUE(melFails("keyframe -q -kc Bob.nothing"));
    EXPECT_TRUE(melFails("setKeyframe -t x Bob.tx"));
    EXPECT_TRUE(melFails("setKeyframe -itt spline Bob.tx"));
    mel("select -cl");
    EXPECT_TRUE(melFails("setKeyframe"));
}

TEST_F(Mel, CutKeyClearsEveryCurveOfThatNodeOnlyAndDeletesEmptyCurves) {
    mel("group -em -n Bob");
    mel("group -em -n Hips -p Bob");
    mel("group -em -n Spine -p |Bob|Hips");
    mel("setKeyframe -t 1 -v 1 -at tx -at ry Hips");
    mel("setKeyframe -t 2 -v 3 -at tx Hips");
    mel("setKeyframe -t 1 -v 1 -at tz Spine");
    EXPECT_EQ(mel("cutKey -cl -t \":\" -hierarchy none {\"|Bob|Hips\"}"), Strings{"2"});
    EXPECT_EQ(one("keyframe -q -kc Hips"), "0");
    EXPECT_EQ(mel("ls -type animCurve"), Strings{"Spine_translateZ"});
    MSelectionList list;
    list.add("Hips");
    MObject hips;
    list.getDependNode(0, hips);
    EXPECT_FALSE(MFnDependencyNode(hips).findPlug("tx").isConnected());
    EXPECT_EQ(mel("getAttr Hips.tx"), Strings{"1"});  // the value at the current time stays

    mel("setKeyframe -t 1 -v 1 -at tx Hips");
    mel("setKeyframe -t 5 -v 1 -at tx Hips");
    mel("cutKey -cl -t \"2:10\" -hi below Bob");
    EXPECT_EQ(mel("keyframe -q -tc Hips.tx"), Strings{"1"});
    EXPECT_EQ(one("keyframe -q -kc Spine"), "1");
    EXPECT_TRUE(melFails("cutKey -cl -t \"5:1\" Hips"));
    EXPECT_TRUE(melFails("cutKey -cl -t \"a:b\" Hips"));
    EXPECT_TRUE(melFails("cutKey -cl -hierarchy above Hips"));
    EXPECT_TRUE(melFails("cutKey -cl {\"|Bob|Nobody\"}"));
}

TEST_F(Mel, CopyKeyAndPasteKeyReplaceWithinThePastedRange) {
    mel("group -em -n Src");
    mel("group -em -n Dst");
    mel("setKeyframe -t 10 -v 1 -at tx Src");
    mel("setKeyframe -t 20 -v 2 -at tx Src");
    mel("setKeyframe -t 15 -v 45 -at ry Src");
    mel("setKeyframe -t 1 -v 7 -at tx Dst");
    mel("setKeyframe -t 12 -v 7 -at tx Dst");
    mel("setKeyframe -t 30 -v 7 -at tx Dst");
    EXPECT_EQ(mel("copyKey Src"), Strings{"2"});
    EXPECT_EQ(mel("pasteKey -o replace Dst"), Strings{"2"});
    EXPECT_EQ(mel("keyframe -q -tc Dst.tx"), (Strings{"1", "10", "20", "30"}));
    EXPECT_EQ(mel("keyframe -q -vc Dst.tx"), (Strings{"7", "1", "2", "7"}));
    EXPECT_EQ(mel("keyframe -q -vc Dst.ry"), Strings{"45"});  // a new curve
    EXPECT_EQ(one("keyframe -q -n Dst.ry"), "Dst_rotateY");

    mel("pasteKey -o merge -t 100 Dst");
    EXPECT_EQ(mel("keyframe -q -tc Dst.tx"), (Strings{"1", "10", "20", "30", "100", "110"}));
    mel("pasteKey -o replaceCompletely Dst");
    EXPECT_EQ(mel("keyframe -q -tc Dst.tx"), (Strings{"10", "20"}));
    EXPECT_TRUE(melFails("pasteKey Dst"));  // insert is not modelled
    mel("select -cl");
    EXPECT_TRUE(melFails("pasteKey -o replace"));

    // Copying a node without keys empties the clipboard: nothing stale is pasted.
    mel("group -em -n Bare");
    EXPECT_EQ(mel("copyKey Bare"), Strings{"0"});
    EXPECT_TRUE(melFails("pasteKey -o replace Dst"));
    EXPECT_EQ(mel("keyframe -q -tc Dst.tx"), (Strings{"10", "20"}));
}

TEST_F(Mel, GetAttrAndSetAttrInUiUnits) {
    mel("group -em -n Bob");
    mel("setAttr Bob.t 1 2 3");
    EXPECT_EQ(mel("getAttr Bob.translate"), (Strings{"1", "2", "3"}));
    mel("setAttr Bob.rx 90");
    MSelectionList list;
    list.add("Bob");
    MObject bob;
    list.getDependNode(0, bob);
    double radians = 0;
    MFnDependencyNode(bob).findPlug("rx").getValue(radians);
    EXPECT_NEAR(radians, 1.5707963267948966, 1e-15);
    MDistance::setUIUnit(MDistance::kMillimeters);
    EXPECT_EQ(mel("getAttr Bob.tx"), Strings{"10"});
    mel("setAttr Bob.ty 5");
    MDistance::setUIUnit(MDistance::kCentimeters);
    EXPECT_EQ(mel("getAttr Bob.ty"), Strings{"0.5"});
    mel("setAttr Bob.v false");
    EXPECT_EQ(mel("getAttr Bob.visibility"), Strings{"0"});

    EXPECT_TRUE(melFails("setAttr Bob.t 1 2"));
    EXPECT_TRUE(melFails("setAttr Bob.tx abc"));
    EXPECT_TRUE(melFails("setAttr Bob.nothing 1"));
    EXPECT_TRUE(melFails("setAttr Bob 1"));
    EXPECT_TRUE(melFails("getAttr Nobody.tx"));
    EXPECT_TRUE(melFails("getAttr Bob.tx Bob.ty"));
    EXPECT_TRUE(melFails("getAttr -t x Bob.tx"));
    EXPECT_TRUE(melFails("setAttr -type double3 Bob.t 1 2 3"));
}

TEST_F(Mel, CreateNodeLsAndTypes) {
    EXPECT_EQ(mel("createNode TestLocator"), Strings{"TestLocator1"});
    EXPECT_EQ(mel("listRelatives -p TestLocator1"), Strings{"transform1"});
    EXPECT_EQ(mel("createNode -n T transform"), Strings{"T"});
    EXPECT_EQ(mel("createNode -ss animCurveTL"), Strings{"animCurveTL1"});
    EXPECT_EQ(selection(), Strings{"|T"});
    EXPECT_EQ(mel("ls -type transform"), (Strings{"transform1", "T"}));
    EXPECT_EQ(mel("ls -type TestLocator -l"), Strings{"|transform1|TestLocator1"});
    EXPECT_EQ(mel("ls -type animCurve"), Strings{"animCurveTL1"});
    EXPECT_EQ(mel("ls \"trans*\""), Strings{"transform1"});
    EXPECT_EQ(mel("ls -dag"), (Strings{"transform1", "TestLocator1", "T"}));
    EXPECT_EQ(mel("createNode -p T transform"), Strings{"transform2"});
    EXPECT_EQ(mel("ls -assemblies -l"), (Strings{"|transform1", "|T"}));  // the top of the scene
    EXPECT_EQ(mel("ls -as \"trans*\""), Strings{"transform1"});
    EXPECT_TRUE(melFails("createNode noSuchType"));
    EXPECT_TRUE(melFails("createNode"));
    EXPECT_TRUE(melFails("createNode -p TestLocator1 transform"));  // not under a shape
    EXPECT_TRUE(melFails("ls -type noSuchType"));
}

TEST_F(Mel, UnsupportedMelIsRefusedLoudly) {
    EXPECT_TRUE(melFails("undo"));
    EXPECT_TRUE(melFails("file -save"));
    EXPECT_TRUE(melFails("keyframe -e -tc 5 Bob"));
}

// --- the command sequences the module's parts send -----------------------------------------

TEST_F(Mel, OffsetCubeSequenceLeavesACubeAtTheDofsOriginAndTheSelectionAsItWas) {
    mel("group -em -n Bob");
    MDagModifier mod;
    MObject hips = mod.createNode(kLocatorType);
    mod.renameNode(hips, "Hips");
    MSelectionList list;
    list.add("Bob");
    MObject bob;
    list.getDependNode(0, bob);
    mod.reparentNode(hips, bob);
    ASSERT_TRUE(mod.doIt());
    mel("setAttr Hips.t 10 20 30");
    mel("setAttr Hips.r 10 -20 30");
    const char* steps[] = {
        "polyCube -w 5.000000 -h 5.000000 -d 5.000000 -sx 1 -sy 1 -sz 1 -ax 0 1 0 -tx 1 -ch 0 "
        "-n Rot_Hips",
        "select -r Rot_Hips",
        "select -tgl |Bob|Hips",
        "parent",
        "select -r |Bob|Hips",
        "select -tgl Rot_Hips",
        "pointConstraint",
        "orientConstraint",
        "select -r Rot_Hips",
        "delete -cn"};
    for (const char* step : steps) {
        mel(step);
    }
    EXPECT_EQ(mel("listRelatives -c -f |Bob|Hips"),
              (Strings{"|Bob|Hips|TestLocator1", "|Bob|Hips|Rot_Hips"}));
    for (const char* attr : {"Rot_Hips.t", "Rot_Hips.r"}) {
        for (const std::string& v : mel(std::string("getAttr ") + attr)) {
            EXPECT_NEAR(std::stod(v), 0.0, 1e-9) << attr;
        }
    }
    EXPECT_TRUE(mel("ls -type constraint").empty());
}

TEST_F(Mel, ImportLookupFindsTheDofAgainAndClearsItsKeys) {
    mel("group -em -n Bob");
    MDagModifier mod;
    MObject hips = mod.createNode(kLocatorType);
    mod.renameNode(hips, "Hips");
    MSelectionList groupList;
    groupList.add("Bob");
    MObject bob;
    groupList.getDependNode(0, bob);
    mod.reparentNode(hips, bob);
    mod.doIt();
    MFnAnimCurve curve;
    MPlug tx = MFnDagNode(hips).findPlug("tx");
    curve.create(tx);
    curve.addKeyframe(MTime(1.0), 1.0, MFnAnimCurve::kTangentLinear, MFnAnimCurve::kTangentLinear);

    // What a second import does: list the group's children, recognise the locator
    // transform by its shape's default name, select it by path, clear its keys.
    MStringArray children;
    ASSERT_TRUE(MGlobal::executeCommand("listRelatives -c -f |Bob", children));
    ASSERT_EQ(children.length(), 1u);
    MStringArray shapes;
    MGlobal::executeCommand(MString("listRelatives -c -f ") + children[0], shapes);
    ASSERT_EQ(shapes.length(), 1u);
    EXPECT_NE(std::string(shapes[0].asChar()).find(kLocatorType), std::string::npos);
    MGlobal::clearSelectionList();
    ASSERT_TRUE(MGlobal::selectByName(children[0], MGlobal::kAddToList));
    ASSERT_TRUE(MGlobal::executeCommand(MString("cutKey -cl -t \":\" -hierarchy none {\"") +
                                        children[0] + "\"}"));
    EXPECT_EQ(one("keyframe -q -kc Hips"), "0");
    EXPECT_FALSE(MFnDagNode(hips).findPlug("tx").isConnected());
}

TEST_F(Mel, HierarchyKeyCopySequenceCopiesToSameNamedLocators) {
    for (const char* group : {"A", "B"}) {
        mel(std::string("group -em -n ") + group);
        MSelectionList list;
        list.add(group);
        MObject parent;
        list.getDependNode(0, parent);
        MDagModifier mod;
        MObject t = mod.createNode(kLocatorType);
        mod.renameNode(t, "Hips");
        mod.reparentNode(t, parent);
        ASSERT_TRUE(mod.doIt());
    }
    mel("setKeyframe -t 1 -t 9 -v 5 -at tx B|Hips");
    mel("select -r A B");
    MSelectionList saved;
    MGlobal::getActiveSelectionList(saved);
    MStringArray strings;
    saved.getSelectionStrings(strings);
    ASSERT_EQ(strings.length(), 2u);
    MStringArray source, destination;
    MGlobal::executeCommand(MString("listRelatives -c -f ") + strings[1], source);
    MGlobal::executeCommand(MString("listRelatives -c -f ") + strings[0], destination);
    ASSERT_EQ(source.length(), 1u);
    ASSERT_TRUE(MGlobal::executeCommand(MString("copyKey ") + source[0]));
    ASSERT_TRUE(MGlobal::executeCommand(MString("pasteKey -o replace ") + destination[0]));
    EXPECT_EQ(mel("keyframe -q -tc A|Hips.tx"), (Strings{"1", "9"}));
    MGlobal::setActiveSelectionList(saved, MGlobal::kReplaceList);
    EXPECT_EQ(selection(), (Strings{"|A", "|B"}));

    MPlugArray connected;
    MSelectionList hips;
    hips.add("A|Hips");
    MObject a;
    hips.getDependNode(0, a);
    ASSERT_TRUE(MFnDependencyNode(a).getConnections(connected));
    ASSERT_EQ(connected.length(), 1u);
    MStatus status;
    MFnAnimCurve curve(connected[0], &status);
    EXPECT_TRUE(status);
    EXPECT_EQ(curve.numKeys(), 2u);
    mel("group -em -n Lone");
    MSelectionList lone;
    lone.add("Lone");
    MObject l;
    lone.getDependNode(0, l);
    EXPECT_TRUE(MFnDependencyNode(l).getConnections(connected));
    EXPECT_EQ(connected.length(), 0u);
}

TEST_F(Mel, ExecuteCommandFailureLeavesTheResultEmpty) {
    MStringArray result;
    result.append("stale");
    EXPECT_EQ(MGlobal::executeCommand("listRelatives -c -f |Nobody", result), MStatus::kFailure);
    EXPECT_EQ(result.length(), 0u);
}

// --- the dump --------------------------------------------------------------------------------

TEST_F(Mel, DumpIsByteIdenticalForIdenticalScenesAndShowsEverything) {
    std::string first = buildScene();
    std::string second = buildScene();
    EXPECT_EQ(first, second);
    for (const char* part :
         {"units time=film linear=cm", "ranges playback=0..100 animation=0..100",
          "type TestLocator id=0x7f001 kind=locator attributes=visibility/v=1,size/sz=1",
          "node |Bob type=transform\n", "node |Bob|HipsShape type=TestLocator\n", "  size=2.5\n",
          "node Bob_translateX type=animCurveTL\n  key 1 3 global global\n  key 10 3",
          "connection Bob_translateX.output -> |Bob.translateX",
          "connection |Cube|Cube_pointConstraint1.constraintTranslateX -> |Cube.translateX",
          "constrains |Cube targets |Bob", "point 1 1 1", "selection |Bob\n"}) {
        EXPECT_NE(first.find(part), std::string::npos) << part << "\n" << first;
    }
    mel("setAttr Bob.ty 1");
    EXPECT_NE(host::sceneDump(), first);
}

TEST_F(Mel, ResetClearsSceneSelectionUnitsAndRanges) {
    buildScene();
    MTime::setUIUnit(MTime::kNTSCFrame);
    MDistance::setUIUnit(MDistance::kMeters);
    host::resetScene();
    EXPECT_TRUE(mel("ls").empty());
    EXPECT_TRUE(selection().empty());
    EXPECT_EQ(MTime::uiUnit(), MTime::kFilm);
    EXPECT_EQ(MDistance::uiUnit(), MDistance::kCentimeters);
    EXPECT_EQ(one("playbackOptions -q -max"), "24");
}

}  // namespace
}  // namespace scenetest
