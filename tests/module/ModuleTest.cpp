#include "ModuleTest.h"

#include <maya/MFnAnimCurve.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <host/command_log.h>
#include <host/faults.h>
#include <host/plugins.h>
#include <host/scene.h>
#include <kfile/kfile.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

void ModuleTest::SetUp() {
    testsupport::UnsetEnvironment("MAYA_PLUG_IN_PATH");  // the module of this build
    host::resetScene();
    host::unloadAllPlugins();
    host::clearFaults();
    ASSERT_TRUE(folder_.IsValid());
    std::string error;
    ASSERT_TRUE(host::loadPlugin("MayaKFileReader", &error)) << error;
    host::clearCommandLog();
    host::clearMessageLog();
}

void ModuleTest::TearDown() {
    host::resetScene();
    host::unloadAllPlugins();
    host::clearFaults();
}

namespace {

std::unique_ptr<kfile::KFileDynamicRecord> frameRecord(const kfile::KFileDatagroupRecord& group,
                                                       const TestFrame& frame) {
    auto record = std::make_unique<kfile::KFileDynamicRecord>(group);
    record->SetFrame(frame.frame);
    for (size_t i = 0; i < frame.values.size(); ++i) {
        double value = frame.values[i];
        if (std::isnan(value)) {
            const uint64_t marker = kfile::KFileDynamicRecord::kMissingDouble;
            std::memcpy(&value, &marker, sizeof value);
        }
        EXPECT_TRUE(record->SetDouble(static_cast<int32_t>(i), value));
    }
    EXPECT_GT(record->Pack(), 0);
    return record;
}

}  // namespace

std::string ModuleTest::writeTake(const std::string& name,
                                  const std::vector<TestDatagroup>& groups) const {
    kfile::KFileContents take;
    take.SetVersion(kfile::kWrittenVersion);
    auto section = std::make_unique<kfile::KFileDatagroupSection>(0);
    for (const TestDatagroup& group : groups) {
        auto record = std::make_unique<kfile::KFileDatagroupRecord>(group.id, kfile::kValueDouble,
                                                                    8, group.rate);
        for (const std::string& label : group.labels)
            record->AppendLabel(label);
        EXPECT_GT(record->Pack(), 0);
        for (const TestFrame& frame : group.frames)
            take.AddDynamicRecord(frameRecord(*record, frame));
        if (group.declared)
            section->AddRecord(std::move(record));
    }
    if (section->GetRecordCount() > 0) {
        EXPECT_TRUE(take.AddSection(std::move(section)));
    }
    const std::string path = folder_.Path(name);
    kfile::KFileManager manager;
    EXPECT_TRUE(manager.Write(path, take)) << path;
    return path;
}

std::string ModuleTest::importCommand(const std::string& path) {
    return "file -import " + testsupport::MelQuoted(path);
}

MStatus ModuleTest::importFile(const std::string& path) {
    return MGlobal::executeCommand(MString(importCommand(path).c_str()));
}

std::vector<std::string> ModuleTest::children(const std::string& path) {
    MStringArray result;
    MGlobal::executeCommand(MString(("listRelatives -c -f " + path).c_str()), result);
    std::vector<std::string> paths;
    for (unsigned int i = 0; i < result.length(); ++i)
        paths.emplace_back(result[i].asChar());
    return paths;
}

std::vector<Key> ModuleTest::keys(const std::string& node, const std::string& attribute) {
    MSelectionList list;
    MObject object;
    if (!list.add(MString(node.c_str())) || !list.getDependNode(0, object))
        return {};
    const MPlug plug = MFnDependencyNode(object).findPlug(MString(attribute.c_str()));
    MStatus attached;
    MFnAnimCurve curve(plug, &attached);
    std::vector<Key> result;
    for (unsigned int i = 0; attached && i < curve.numKeys(); ++i)
        result.push_back({curve.time(i).as(MTime::uiUnit()), curve.value(i)});
    return result;
}

std::string ModuleTest::typeOf(const std::string& node) {
    MSelectionList list;
    MObject object;
    if (!list.add(MString(node.c_str())) || !list.getDependNode(0, object))
        return "";
    return MFnDependencyNode(object).typeName().asChar();
}
