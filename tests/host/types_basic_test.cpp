// MStatus, MString, MStringArray, MTypeId, MPoint, MBoundingBox.

#include <gtest/gtest.h>
#include <maya/MBoundingBox.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTypeId.h>

TEST(TypesStatus, CodesAndTruth) {
    EXPECT_EQ(0, MStatus::kSuccess);
    EXPECT_EQ(1, MStatus::kFailure);
    EXPECT_EQ(2, MStatus::kInsufficientMemory);
    EXPECT_EQ(3, MStatus::kInvalidParameter);
    EXPECT_EQ(4, MStatus::kLicenseFailure);
    EXPECT_EQ(5, MStatus::kUnknownParameter);
    EXPECT_EQ(6, MStatus::kNotImplemented);
    EXPECT_EQ(7, MStatus::kNotFound);
    EXPECT_EQ(8, MStatus::kEndOfFile);
    const MStatus fine;
    EXPECT_TRUE(fine);
    EXPECT_FALSE(fine.error());
    const MStatus bad(MStatus::kNotFound);
    EXPECT_FALSE(bad);
    EXPECT_TRUE(bad.error());
    EXPECT_EQ(MStatus::kNotFound, bad.statusCode());
    EXPECT_TRUE(bad == MStatus::kNotFound);
    EXPECT_TRUE(bad != MS::kSuccess);
}

TEST(TypesStatus, PerrorLayout) {
    testing::internal::CaptureStderr();
    MStatus(MStatus::kFailure).perror("registerCommand");
    const std::string text = testing::internal::GetCapturedStderr();
    EXPECT_EQ(
        "registerCommand: " + std::string(MStatus(MStatus::kFailure).errorString().asChar()) + "\n",
        text);
    EXPECT_NE(std::string::npos, text.find("kFailure"));
}

TEST(TypesString, BasicsAndCaseConversion) {
    MString s("walk.k");
    EXPECT_EQ(6u, s.length());
    MString upper = s;
    EXPECT_EQ(&upper, &upper.toUpperCase());  // in place
    EXPECT_STREQ("WALK.K", upper.asChar());
    EXPECT_STREQ("walk.k", s.asChar());
    EXPECT_STREQ("mixed 1ü", MString("MiXeD 1ü").toLowerCase().asChar());
    EXPECT_TRUE(MString("a") + "b" == MString("ab"));
    EXPECT_TRUE("x" + MString("y") == "xy");
    MString built;
    built += "n";
    built += 3;
    built += static_cast<int>('"');  // what a char appends on the host
    EXPECT_STREQ("n334", built.asChar());
    EXPECT_STREQ("", MString(nullptr).asChar());
    EXPECT_EQ(4, s.index('.'));
    EXPECT_EQ(-1, s.rindex('|'));
    EXPECT_STREQ("walk", s.substring(0, 3).asChar());
    EXPECT_STREQ("", s.substring(4, 2).asChar());
    MStringArray parts;
    MString("|a||b|c").split('|', parts);
    ASSERT_EQ(3u, parts.length());
    EXPECT_STREQ("c", parts[2].asChar());
    EXPECT_TRUE(MString("-12").isInt());
    EXPECT_FALSE(MString("1.5").isInt());
    EXPECT_TRUE(MString("1.5").isDouble());
    EXPECT_FALSE(MString("x1").isDouble());
    MString f;
    f.set(5.0);
    EXPECT_STREQ("5.000000", f.asChar());
}

TEST(TypesStringArray, AppendIndexRemoveClear) {
    MStringArray a;
    EXPECT_EQ(0u, a.length());
    a.append("one");
    a.append("two");
    a.insert("zero", 0);
    ASSERT_EQ(3u, a.length());
    EXPECT_STREQ("zero", a[0].asChar());
    a[1] = "uno";
    EXPECT_STREQ("uno", a[1].asChar());
    EXPECT_EQ(MStatus::kInvalidParameter, a.remove(7).statusCode());
    EXPECT_EQ(MStatus::kSuccess, a.remove(0).statusCode());
    EXPECT_STREQ("two", a[1].asChar());
    a.clear();
    EXPECT_EQ(0u, a.length());
}

TEST(TypesStringArrayDeathTest, IndexPastTheEndAborts) {
    MStringArray a;
    a.append("one");
    EXPECT_DEATH(a[1], "out of range");
}

TEST(TypesTypeId, ValueAndPrefixForm) {
    EXPECT_EQ(0x66666u, MTypeId(0x66666).id());
    EXPECT_EQ(0x123456u, MTypeId(0x1234, 0x56).id());
    EXPECT_TRUE(MTypeId(419430) == MTypeId(0x66666));
    EXPECT_TRUE(MTypeId(419431) != MTypeId(0x66666));
}

TEST(TypesPointAndBox, PointBasics) {
    const MPoint p(1, 2);
    EXPECT_EQ(0.0, p.z);
    EXPECT_EQ(1.0, p.w);
    const MPoint scaled = MPoint(-0.5, 0, -0.5, 1) * 4.0;
    EXPECT_EQ(MPoint(-2, 0, -2, 1), scaled);
    MPoint h(2, 4, 6, 2);
    h.cartesianize();
    EXPECT_EQ(MPoint(1, 2, 3), h);
    EXPECT_DOUBLE_EQ(5.0, MPoint(0, 0, 0).distanceTo(MPoint(3, 4, 0)));
}

TEST(TypesPointAndBox, BoxHoldsBothCornersInAnyOrder) {
    const MBoundingBox box(MPoint(0.5, 0, 0.5), MPoint(-0.5, 0, -0.5));
    EXPECT_EQ(MPoint(-0.5, 0, -0.5), box.min());
    EXPECT_EQ(MPoint(0.5, 0, 0.5), box.max());
    EXPECT_DOUBLE_EQ(1.0, box.width());
    EXPECT_DOUBLE_EQ(0.0, box.height());
    EXPECT_DOUBLE_EQ(1.0, box.depth());
    EXPECT_TRUE(box.contains(MPoint(0, 0, 0)));
    EXPECT_FALSE(box.contains(MPoint(0, 0.1, 0)));
    MBoundingBox grown;
    EXPECT_FALSE(grown.contains(MPoint()));
    grown.expand(MPoint(1, 1, 1));
    grown.expand(box);
    EXPECT_EQ(MPoint(-0.5, 0, -0.5), grown.min());
    EXPECT_EQ(MPoint(1, 1, 1), grown.max());
    EXPECT_EQ(MPoint(0.25, 0.5, 0.25), grown.center());
}
