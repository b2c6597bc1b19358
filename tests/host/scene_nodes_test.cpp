// Node creation through the modifiers, node types from plug-ins, plugs and connections.

#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MPlugArray.h>

#include <host/faults.h>

#include "scene_fixture.h"

namespace scenetest {
namespace {

using Modifier = SceneTest;

TEST_F(Modifier, CreateNodeMakesTransformAndShapeWithDefaultNamesOnlyAtDoIt) {
    MDagModifier mod;
    MStatus status;
    MObject transform = mod.createNode(kLocatorType, MObject::kNullObj, &status);
    ASSERT_TRUE(status);
    EXPECT_FALSE(transform.isNull());
    EXPECT_TRUE(scene().nodes().empty());  // nothing exists before doIt
    EXPECT_FALSE(MFnDagNode(transform).childCount() > 0);
    EXPECT_EQ(transform.apiType(), MFn::kTransform);  // but the handle has its type
    ASSERT_TRUE(mod.doIt());
    MFnDagNode fn(transform, &status);
    ASSERT_TRUE(status);
    EXPECT_STREQ(fn.fullPathName().asChar(), "|transform1");
    ASSERT_EQ(fn.childCount(), 1u);
    MFnDagNode shape(fn.child(0));
    EXPECT_STREQ(shape.name().asChar(), "TestLocator1");
    EXPECT_STREQ(shape.typeName().asChar(), kLocatorType);
    EXPECT_EQ(shape.typeId().id(), kLocatorId);
    EXPECT_TRUE(fn.child(0).hasFn(MFn::kPluginLocatorNode));
    EXPECT_EQ(transform.apiType(), MFn::kTransform);

    MDagModifier second;
    MObject t2 = second.createNode(kLocatorType);
    ASSERT_TRUE(second.doIt());
    EXPECT_STREQ(MFnDagNode(t2).name().asChar(), "transform2");
    EXPECT_STREQ(MFnDagNode(MFnDagNode(t2).child(0)).name().asChar(), "TestLocator2");
}

// Before doIt a handle answers its node's type, so that code can branch on it; a creation
// that never happens leaves a handle of no type.
TEST_F(Modifier, CreatedHandlesHaveTheirTypeBeforeDoIt) {
    MObject dropped;
    {
        MDagModifier mod;
        MObject transform = mod.createNode("transform");
        MObject locator = mod.createNode(kLocatorType, transform);
        EXPECT_EQ(transform.apiType(), MFn::kTransform);
        EXPECT_EQ(locator.apiType(), MFn::kPluginLocatorNode);
        EXPECT_TRUE(locator.hasFn(MFn::kShape));
        ASSERT_TRUE(mod.doIt());
        EXPECT_EQ(locator.apiType(), MFn::kPluginLocatorNode);
        dropped = mod.createNode("transform");
        EXPECT_EQ(dropped.apiType(), MFn::kTransform);
    }
    EXPECT_EQ(dropped.apiType(), MFn::kInvalid);
    EXPECT_EQ(scene().nodes().size(), 2u);
}

TEST_F(Modifier, RenameAndReparentHappenAtDoItAndAClashRenamesTheChild) {
    mel("group -em -n Bob");
    mel("group -em -n Hips -p Bob");
    MSelectionList list;
    list.add("Bob");
    MObject group;
    list.getDependNode(0, group);

    MDagModifier mod;
    MObject t = mod.createNode(kLocatorType);
    ASSERT_TRUE(mod.renameNode(t, "Hips"));
    ASSERT_TRUE(mod.reparentNode(t, group));
    EXPECT_EQ(scene().match("Hips").size(), 1u);
    ASSERT_TRUE(mod.doIt());
    EXPECT_STREQ(MFnDagNode(t).fullPathName().asChar(), "|Bob|Hips1");
    EXPECT_EQ(mel("listRelatives -c -f |Bob"), (Strings{"|Bob|Hips", "|Bob|Hips1"}));
    EXPECT_EQ(mel("listRelatives -c -f |Bob|Hips1"), (Strings{"|Bob|Hips1|TestLocator1"}));
}

TEST_F(Modifier, RefusesUnknownTypesDgTypesAndShapesAsParentsAndHasNoUndo) {
    MDagModifier mod;
    MStatus status;
    EXPECT_TRUE(mod.createNode("noSuchType", MObject::kNullObj, &status).isNull());
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    EXPECT_TRUE(mod.createNode("animCurveTL", MObject::kNullObj, &status).isNull());
    MObject t = mod.createNode(kLocatorType);
    ASSERT_TRUE(mod.doIt());
    MObject shape = MFnDagNode(t).child(0);
    mod.createNode("transform", shape, &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    EXPECT_EQ(mod.renameNode(t, ""), MStatus::kInvalidParameter);
    EXPECT_EQ(mod.undoIt(), MStatus::kNotImplemented);
}

TEST_F(Modifier, CreateUnderAPendingParentOfTheSameModifier) {
    MDagModifier mod;
    MObject top = mod.createNode("transform");
    MObject shape = mod.createNode(kLocatorType, top);
    ASSERT_TRUE(mod.doIt());
    EXPECT_STREQ(MFnDagNode(shape).fullPathName().asChar(), "|transform1|TestLocator1");
}

// --- node types -----------------------------------------------------------------------------

MStatus failingInitializer() {
    return MStatus::kFailure;
}
MStatus emptyInitializer() {
    return MStatus::kSuccess;
}
void* nullCreator() {
    return nullptr;
}

TEST(NodeTypes, DuplicateNamesOrIdsAndFailingInitializersAreRefused) {
    scenetest::ensureLocatorType();
    EXPECT_EQ(scene::registerNodeType(kLocatorType, MTypeId(0x7f0ff), &TestLocator::creator,
                                      &emptyInitializer, MPxNode::kLocatorNode),
              MStatus::kFailure);
    EXPECT_EQ(scene::registerNodeType("other", MTypeId(kLocatorId), &TestLocator::creator,
                                      &emptyInitializer, MPxNode::kLocatorNode),
              MStatus::kFailure);
    EXPECT_EQ(scene::registerNodeType("transform", MTypeId(0x7f0fe), &TestLocator::creator,
                                      &emptyInitializer, MPxNode::kLocatorNode),
              MStatus::kFailure);
    EXPECT_EQ(scene::registerNodeType("failing", MTypeId(0x7f0fd), &TestLocator::creator,
                                      &failingInitializer, MPxNode::kLocatorNode),
              MStatus::kFailure);
    EXPECT_FALSE(scene::isPluginNodeType("failing"));
    EXPECT_EQ(scene::registerNodeType("kinky", MTypeId(0x7f0fc), &TestLocator::creator,
                                      &emptyInitializer, static_cast<MPxNode::Type>(7)),
              MStatus::kNotImplemented);
    EXPECT_EQ(scene::deregisterNodeType(MTypeId(0x7f0fb)), MStatus::kNotFound);
}

TEST(NodeTypes, InjectedAddAttributeFaultMakesTheInitializerFail) {
    host::injectFault(host::Fault::AddAttribute, "size");
    MStatus status = scene::registerNodeType("faulty", MTypeId(0x7f0fa), &TestLocator::creator,
                                             &TestLocator::initializeOther, MPxNode::kLocatorNode);
    host::clearFaults();
    EXPECT_EQ(status, MStatus::kFailure);
    EXPECT_FALSE(scene::isPluginNodeType("faulty"));
}

TEST(NodeTypes, AddAttributeOutsideAnInitializerFails) {
    MFnUnitAttribute unit;
    MObject attr = unit.create("extra", "ex", MFnUnitAttribute::kAngle);
    EXPECT_EQ(MPxNode::addAttribute(attr), MStatus::kFailure);
}

TEST_F(Modifier, DeregisteringATypeInUseIsRefusedUntilItsNodesAreGone) {
    ASSERT_TRUE(scene::registerNodeType("shortLived", MTypeId(0x7f0f9), &TestLocator::creator,
                                        &TestLocator::initializeOther, MPxNode::kLocatorNode));
    std::string shape = one("createNode shortLived");
    EXPECT_EQ(scene::deregisterNodeType(MTypeId(0x7f0f9)), MStatus::kFailure);
    mel("delete transform1");
    EXPECT_TRUE(scene::deregisterNodeType(MTypeId(0x7f0f9)));
    EXPECT_TRUE(melFails("createNode shortLived"));
    EXPECT_EQ(shape, "shortLived1");
}

TEST_F(Modifier, CreatorReturningNullCreatesNothing) {
    ASSERT_TRUE(scene::registerNodeType("nullMaker", MTypeId(0x7f0f8), &nullCreator,
                                        &emptyInitializer, MPxNode::kLocatorNode));
    EXPECT_TRUE(melFails("createNode nullMaker"));
    EXPECT_TRUE(scene().nodes().empty());
    EXPECT_TRUE(scene::deregisterNodeType(MTypeId(0x7f0f8)));
}

// --- plugs, attributes, plug-in node calls --------------------------------------------------

using Plugs = SceneTest;

TEST_F(Plugs, FindPlugTakesLongShortAndChildNamesAndNamesThePlugLong) {
    mel("group -em -n Bob");
    MSelectionList list;
    list.add("Bob");
    MObject bob;
    list.getDependNode(0, bob);
    MFnDependencyNode fn(bob);
    for (const char* name : {"translate", "t", "translateX", "tx", "rotateY", "ry", "scale", "sz",
                             "visibility", "v"}) {
        MStatus status;
        MPlug plug = fn.findPlug(name, &status);
        EXPECT_TRUE(status) << name;
        EXPECT_FALSE(plug.isNull()) << name;
    }
    MStatus status;
    EXPECT_TRUE(fn.findPlug("size", &status).isNull());
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    MPlug t = fn.findPlug("t");
    EXPECT_STREQ(t.name().asChar(), "Bob.translate");
    EXPECT_TRUE(t.isCompound());
    ASSERT_EQ(t.numChildren(), 3u);
    EXPECT_STREQ(t.child(1).name().asChar(), "Bob.translateY");
    EXPECT_STREQ(t.child(1).partialName().asChar(), "ty");
    EXPECT_TRUE(t.child(1).parent() == t);
}

TEST_F(Plugs, DefaultsValuesAndDistanceReads) {
    mel("createNode -n Loc TestLocator");
    MSelectionList list;
    list.add("Loc");
    MObject loc;
    list.getDependNode(0, loc);
    MFnDependencyNode fn(loc);
    MDistance size;
    ASSERT_TRUE(fn.findPlug("size").getValue(size));
    EXPECT_DOUBLE_EQ(size.asCentimeters(), 1.0);
    double scale = 0;
    MSelectionList parent;
    parent.add("transform1");
    MObject transform;
    parent.getDependNode(0, transform);
    ASSERT_TRUE(MFnDependencyNode(transform).findPlug("sy").getValue(scale));
    EXPECT_DOUBLE_EQ(scale, 1.0);
    bool visible = false;
    ASSERT_TRUE(fn.findPlug("v").getValue(visible));
    EXPECT_TRUE(visible);

    MDistance twoMetres(2.0, MDistance::kMeters);
    ASSERT_TRUE(fn.findPlug("sz").setValue(twoMetres));
    ASSERT_TRUE(fn.findPlug("size").getValue(size));
    EXPECT_DOUBLE_EQ(size.asCentimeters(), 200.0);
    EXPECT_EQ(fn.findPlug("t").setValue(1.0), MStatus::kInvalidParameter);  // shapes: none
    EXPECT_FALSE(fn.findPlug("translate").setValue(1.0));
}

TEST_F(Plugs, ConnectedToDistinguishesSourcesFromDestinations) {
    mel("group -em -n A");
    mel("group -em -n B");
    mel("setKeyframe -at tx -t 1 -v 3 A");
    MSelectionList list;
    list.add("A");
    list.add("B");
    MObject a, b;
    list.getDependNode(0, a);
    list.getDependNode(1, b);
    MPlug atx = MFnDependencyNode(a).findPlug("tx");
    MPlug btx = MFnDependencyNode(b).findPlug("tx");
    EXPECT_TRUE(atx.isConnected());
    EXPECT_FALSE(btx.isConnected());
    MPlugArray plugs;
    ASSERT_TRUE(atx.connectedTo(plugs, true, false));
    ASSERT_EQ(plugs.length(), 1u);
    EXPECT_TRUE(plugs[0].node().hasFn(MFn::kAnimCurve));
    EXPECT_STREQ(plugs[0].name().asChar(), "A_translateX.output");
    EXPECT_FALSE(atx.connectedTo(plugs, false, true));
    EXPECT_EQ(plugs.length(), 0u);

    // A transform's translateX feeding another: B follows A at every time.
    MDGModifier mod;
    ASSERT_TRUE(mod.connect(atx, btx));
    ASSERT_TRUE(mod.doIt());
    ASSERT_TRUE(atx.connectedTo(plugs, false, true));
    EXPECT_TRUE(plugs[0] == btx);
    double v = 0;
    ASSERT_TRUE(btx.getValue(v));
    EXPECT_DOUBLE_EQ(v, 3.0);
    MDGModifier again;
    ASSERT_TRUE(again.connect(atx, btx));
    EXPECT_FALSE(again.doIt());  // a destination takes one source

    MPlugArray connected;
    ASSERT_TRUE(MFnDependencyNode(b).getConnections(connected));
    EXPECT_EQ(connected.length(), 1u);
}

TEST_F(Plugs, PluginNodeComputeDrawAndBoundsAreReachable) {
    mel("createNode -n Loc TestLocator");
    mel("setAttr Loc.size 4");
    bool bounded = false;
    double lo[3], hi[3];
    ASSERT_TRUE(host::locatorBounds("transform1", &bounded, lo, hi));
    EXPECT_TRUE(bounded);
    EXPECT_DOUBLE_EQ(lo[0], -2.0);
    EXPECT_DOUBLE_EQ(hi[2], 2.0);
    EXPECT_DOUBLE_EQ(hi[1], 0.0);
    EXPECT_EQ(host::computePlug("Loc.size"), MStatus::kUnknownParameter);
    EXPECT_TRUE(host::drawLocator("Loc", M3dView::kWireFrame, M3dView::kDormant));
    std::string error;
    mel("group -em -n G");
    EXPECT_FALSE(host::drawLocator("G", 0, 0, &error));
    EXPECT_EQ(error, "Not a plug-in locator: G");
    EXPECT_EQ(host::computePlug("G.nothing", &error), -1);
}

TEST_F(Plugs, UserNodeAndThisMObjectPointAtEachOther) {
    mel("createNode -n Loc TestLocator");
    MSelectionList list;
    list.add("Loc");
    MObject loc;
    list.getDependNode(0, loc);
    MPxNode* user = MFnDependencyNode(loc).userNode();
    ASSERT_NE(user, nullptr);
    EXPECT_TRUE(user->thisMObject() == loc);
    EXPECT_STREQ(user->name().asChar(), "Loc");
    EXPECT_EQ(user->type(), MPxNode::kLocatorNode);
}

TEST_F(Plugs, DagPathAndDagNodeNavigation) {
    mel("group -em -n Bob");
    mel("createNode -n HipsShape -p Bob TestLocator");
    MSelectionList list;
    list.add("HipsShape");
    MDagPath path;
    ASSERT_TRUE(list.getDagPath(0, path));
    EXPECT_STREQ(path.fullPathName().asChar(), "|Bob|HipsShape");
    EXPECT_EQ(path.length(), 2u);
    EXPECT_STREQ(MFnDagNode(path.transform()).name().asChar(), "Bob");
    ASSERT_TRUE(path.pop());
    EXPECT_STREQ(path.fullPathName().asChar(), "|Bob");
    EXPECT_EQ(path.childCount(), 1u);
    MFnDagNode bob(path);
    EXPECT_EQ(bob.parentCount(), 1u);
    EXPECT_TRUE(bob.parent(0).hasFn(MFn::kWorld));

    mel("delete Bob");
    EXPECT_FALSE(path.isValid());
    MStatus status;
    bob.name(&status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    MObject gone;
    EXPECT_EQ(list.getDependNode(0, gone), MStatus::kInvalidParameter);
}

}  // namespace
}  // namespace scenetest
