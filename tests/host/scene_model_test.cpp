// The scene model under the API: deletion and what goes with it, connections, evaluation
// guards, DG nodes of plug-in types, and the smaller function sets.

#include <maya/MAnimControl.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPlugArray.h>

#include "scene_fixture.h"

namespace scenetest {
namespace {

class DependNode : public MPxNode {
  public:
    static void* creator() { return new DependNode; }
    static MStatus initialize() {
        MFnUnitAttribute unit;
        input = unit.create("inAngle", "ia", MFnUnitAttribute::kAngle, 0.5);
        output = unit.create("outTime", "ot", MFnUnitAttribute::kTime);
        MStatus status = addAttribute(input);
        if (status) {
            status = addAttribute(output);
        }
        if (status) {
            status = attributeAffects(input, output);
        }
        return status;
    }
    static MObject input;
    static MObject output;
};
MObject DependNode::input;
MObject DependNode::output;

const unsigned kDependId = 0x7f002;

class Model : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        if (!scene::isPluginNodeType("testDepend")) {
            ASSERT_TRUE(scene::registerNodeType("testDepend", MTypeId(kDependId),
                                                &DependNode::creator, &DependNode::initialize,
                                                MPxNode::kDependNode));
        }
    }
    MObject object(const std::string& name) {
        MSelectionList list;
        EXPECT_TRUE(list.add(name.c_str())) << name;
        MObject o;
        list.getDependNode(0, o);
        return o;
    }
    MPlug plug(const std::string& node, const char* attr) {
        return MFnDependencyNode(object(node)).findPlug(attr);
    }
};

TEST_F(Model, DeletingANodeTakesItsCurvesButNotCurvesThatDriveOthers) {
    mel("group -em -n A");
    mel("group -em -n B");
    mel("setKeyframe -t 1 -v 1 -at tx -at ty A");
    MDGModifier mod;
    mod.connect(plug("A_translateY", "output"), plug("B", "ty"));
    ASSERT_TRUE(mod.doIt());
    mel("delete A");
    EXPECT_EQ(mel("ls -type animCurve"), Strings{"A_translateY"});
    EXPECT_TRUE(plug("B", "ty").isConnected());
    mel("delete B");
    EXPECT_TRUE(mel("ls").empty());
    EXPECT_TRUE(scene().connections().empty());
}

TEST_F(Model, ConstraintWithoutTargetsLeavesItsObjectWhereItWas) {
    mel("group -em -n T");
    mel("setAttr T.t 1 2 3");
    mel("group -em -n C");
    mel("pointConstraint T C");
    mel("delete T");
    EXPECT_EQ(mel("getAttr C.t"), (Strings{"1", "2", "3"}));
    EXPECT_EQ(mel("ls -type pointConstraint"), Strings{"C_pointConstraint1"});
}

TEST_F(Model, ConnectionRulesAndCompoundConnections) {
    mel("group -em -n A");
    mel("group -em -n B");
    scene::Scene& s = scene();
    const scene::BuiltinAttrs& a = scene::builtinAttrs();
    scene::NodeId ida = node("A")->id, idb = node("B")->id;
    EXPECT_FALSE(s.connect({ida, a.translate}, {idb, a.translateX}).empty());  // kinds differ
    EXPECT_FALSE(s.connect({ida, a.translateX}, {ida, a.translateX}).empty());
    EXPECT_FALSE(s.connect({ida, a.curveOutput}, {idb, a.translateX}).empty());  // not on A
    EXPECT_TRUE(s.connect({ida, a.translate}, {idb, a.translate}).empty());
    EXPECT_EQ(s.connections().size(), 3u);
    EXPECT_NE(s.incoming({idb, a.translateZ}), nullptr);
    EXPECT_EQ(s.outgoing({ida, a.translateY}).size(), 1u);
    EXPECT_TRUE(s.disconnect({ida, a.translateY}, {idb, a.translateY}).empty());
    EXPECT_FALSE(s.disconnect({ida, a.translateY}, {idb, a.translateY}).empty());
    mel("setAttr A.t 4 5 6");
    EXPECT_EQ(mel("getAttr B.t"), (Strings{"4", "0", "6"}));
}

// Connections made after one is removed take places that earlier connections held.
TEST_F(Model, IncomingConnectionsAreFoundAfterEarlierOnesGo) {
    for (const char* name : {"A", "B", "C"}) {
        mel(std::string("group -em -n ") + name);
    }
    scene::Scene& s = scene();
    const scene::BuiltinAttrs& a = scene::builtinAttrs();
    scene::NodeId ida = node("A")->id, idb = node("B")->id, idc = node("C")->id;
    auto sourceInto = [&](scene::AttrId attr) {
        const scene::Connection* in = s.incoming({idc, attr});
        return in == nullptr ? scene::PlugRef{} : in->source;
    };
    ASSERT_TRUE(s.connect({ida, a.translateX}, {idc, a.translateX}).empty());
    ASSERT_TRUE(s.connect({idb, a.translateX}, {idc, a.translateY}).empty());
    mel("delete A");
    ASSERT_TRUE(s.connect({idb, a.translateY}, {idc, a.translateZ}).empty());
    EXPECT_TRUE(sourceInto(a.translateX) == scene::PlugRef{});
    EXPECT_TRUE(sourceInto(a.translateY) == (scene::PlugRef{idb, a.translateX}));
    ASSERT_TRUE(s.disconnect({idb, a.translateX}, {idc, a.translateY}).empty());
    ASSERT_TRUE(s.connect({idb, a.translateZ}, {idc, a.rotateX}).empty());
    EXPECT_TRUE(sourceInto(a.translateZ) == (scene::PlugRef{idb, a.translateY}));
}

TEST_F(Model, ACycleOfConnectionsIsEvaluatedWithoutHanging) {
    mel("group -em -n A");
    mel("group -em -n B");
    MDGModifier mod;
    mod.connect(plug("A", "tx"), plug("B", "tx"));
    mod.connect(plug("B", "tx"), plug("A", "tx"));
    ASSERT_TRUE(mod.doIt());
    double v = 1;
    EXPECT_TRUE(plug("A", "tx").getValue(v));
    EXPECT_DOUBLE_EQ(v, 0.0);
}

TEST_F(Model, PluginDependNodesAreDgNodesWithTheirOwnAttributes) {
    MFnDependencyNode fn;
    MStatus status;
    MObject made = fn.create("testDepend", "Blend", &status);
    ASSERT_TRUE(status);
    EXPECT_TRUE(made.hasFn(MFn::kPluginDependNode));
    EXPECT_FALSE(made.hasFn(MFn::kDagNode));
    EXPECT_STREQ(fn.name().asChar(), "Blend");
    EXPECT_EQ(fn.typeId().id(), kDependId);
    EXPECT_EQ(fn.attributeCount(), 2u);
    EXPECT_TRUE(fn.hasAttribute("ia"));
    EXPECT_FALSE(fn.hasAttribute("translate"));
    EXPECT_EQ(mel("getAttr Blend.inAngle"), Strings{"28.6478897565412"});  // 0.5 rad
    EXPECT_TRUE(mel("listRelatives -c Blend").empty());
    EXPECT_EQ(mel("ls -type testDepend"), Strings{"Blend"});
    EXPECT_STREQ(fn.setName("group1").asChar(), "group1");
    mel("group -em");
    EXPECT_EQ(mel("ls -type transform"), Strings{"group2"});

    MDGModifier mod;
    MObject second = mod.createNode(MTypeId(kDependId), &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(second.apiType(), MFn::kPluginDependNode);  // typed before doIt
    ASSERT_TRUE(mod.doIt());
    EXPECT_STREQ(MFnDependencyNode(second).name().asChar(), "testDepend1");
    EXPECT_TRUE(mod.createNode("transform", &status).isNull());  // DAG types need MDagModifier
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    MFnDependencyNode none;
    none.create("transform", &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);

    MFnAnimCurve curve;
    MPlug outTime = MFnDependencyNode(second).findPlug("outTime");
    curve.create(outTime);
    EXPECT_EQ(curve.animCurveType(), MFnAnimCurve::kAnimCurveTT);
}

TEST_F(Model, ModifierDeletesDisconnectsAndRunsCommandsInOrder) {
    mel("group -em -n A");
    mel("group -em -n B");
    MDGModifier connect;
    connect.connect(plug("A", "tx"), plug("B", "tx"));
    connect.doIt();
    MDGModifier mod;
    ASSERT_TRUE(mod.disconnect(plug("A", "tx"), plug("B", "tx")));
    ASSERT_TRUE(mod.commandToExecute("group -em -n FromModifier"));
    ASSERT_TRUE(mod.deleteNode(object("A")));
    EXPECT_EQ(mel("ls -type transform"), (Strings{"A", "B"}));
    ASSERT_TRUE(mod.doIt());
    EXPECT_EQ(mel("ls -type transform"), (Strings{"B", "FromModifier"}));
    EXPECT_FALSE(plug("B", "tx").isConnected());
    EXPECT_TRUE(mod.doIt());  // nothing left to do

    MDGModifier failing;
    failing.commandToExecute("noSuchCommand");
    failing.commandToExecute("group -em -n NeverMade");
    EXPECT_FALSE(failing.doIt());
    EXPECT_TRUE(melFails("select -r NeverMade"));
}

TEST_F(Model, DagNodeCreateAndAddChild) {
    MFnDagNode fn;
    MStatus status;
    MObject top = fn.create(kLocatorType, "Shape", MObject::kNullObj, &status);
    ASSERT_TRUE(status);
    EXPECT_TRUE(top.hasFn(MFn::kTransform));
    EXPECT_STREQ(fn.fullPathName().asChar(), "|transform1|Shape");
    MFnDagNode group;
    MObject g = group.create("transform", "G");
    ASSERT_TRUE(group.addChild(top));
    EXPECT_STREQ(MFnDagNode(top).fullPathName().asChar(), "|G|transform1");
    EXPECT_TRUE(MFnDagNode(top).isChildOf(g));
    EXPECT_TRUE(group.isParentOf(top));
    EXPECT_EQ(group.addChild(top, 0), MStatus::kNotImplemented);
    MObject shape = MFnDagNode(top).child(0);
    fn.create("transform", shape, &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
}

TEST_F(Model, UnitAttributeDefaultsAndContexts) {
    MFnUnitAttribute unit;
    MObject attr = unit.create("reach", "rc", MFnUnitAttribute::kDistance);
    EXPECT_EQ(unit.unitType(), MFnUnitAttribute::kDistance);
    ASSERT_TRUE(unit.setDefault(MDistance(2.0, MDistance::kMeters)));
    double def = 0;
    unit.getDefault(def);
    EXPECT_DOUBLE_EQ(def, 200.0);
    EXPECT_EQ(unit.setDefault(MTime(1.0)), MStatus::kInvalidParameter);
    EXPECT_STREQ(MFnAttribute(attr).shortName().asChar(), "rc");
    MStatus status;
    unit.create("bad name", "b", MFnUnitAttribute::kDistance, 0.0, &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    unit.create("x", "x", MFnUnitAttribute::kInvalid, 0.0, &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);

    MDGContext normal;
    MTime when;
    EXPECT_TRUE(normal.isNormal());
    EXPECT_EQ(normal.getTime(when), MStatus::kInvalidParameter);
    MDGContext at(MTime(12.0));
    EXPECT_FALSE(at.isNormal());
    ASSERT_TRUE(at.getTime(when));
    EXPECT_DOUBLE_EQ(when.as(MTime::kFilm), 12.0);
    EXPECT_TRUE(MAnimControl::currentTime() == MTime(1.0));
}

}  // namespace
}  // namespace scenetest
