#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/io/TFileSpecifier.h"

namespace {

const std::string kLongestPath(kFileSpecCapacity - 1, 'p');
const std::string kTooLongPath(kFileSpecCapacity, 'p');

TEST(TFileSpecifier, DefaultNamesNoFile) {
    TFileSpecifier spec;
    EXPECT_STREQ(spec.GetPath(), "");
    EXPECT_TRUE(spec.IsEmpty());
    EXPECT_FALSE(spec.WasRefused());
}

TEST(TFileSpecifier, ConstructionCopiesThePathText) {
    char text[] = "/home/user/report.pdf";
    TFileSpecifier spec(text);
    text[1] = 'X';
    EXPECT_STREQ(spec.GetPath(), "/home/user/report.pdf");
}

TEST(TFileSpecifier, NullTextNamesNoFile) {
    TFileSpecifier spec(nullptr);
    EXPECT_TRUE(spec.IsEmpty());
    EXPECT_FALSE(spec.WasRefused());
}

TEST(TFileSpecifier, PathOfFullCapacityLessTheTerminatorFits) {
    TFileSpecifier spec(kLongestPath.c_str());
    EXPECT_EQ(spec.GetPath(), kLongestPath);
    EXPECT_FALSE(spec.WasRefused());
}

// A path that did not fit used to be copied past the buffer; it is refused now,
// and not cut either (a cut path names another file).
TEST(TFileSpecifier, TooLongPathIsRefusedNotCut) {
    TFileSpecifier spec(kTooLongPath.c_str());
    EXPECT_TRUE(spec.IsEmpty());
    EXPECT_TRUE(spec.WasRefused());
}

TEST(TFileSpecifier, SetPathAnswersWhetherThePathFits) {
    TFileSpecifier spec("/a");
    EXPECT_FALSE(spec.SetPath(kTooLongPath.c_str()));
    EXPECT_TRUE(spec.IsEmpty());  // no stale path left behind
    EXPECT_TRUE(spec.WasRefused());
    EXPECT_TRUE(spec.SetPath("/b"));
    EXPECT_STREQ(spec.GetPath(), "/b");
    EXPECT_FALSE(spec.WasRefused());
}

TEST(TFileSpecifier, AssignmentFromTooLongTextLeavesItEmptyAndRefused) {
    TFileSpecifier spec("/a");
    spec = kTooLongPath.c_str();
    EXPECT_TRUE(spec.IsEmpty());
    EXPECT_TRUE(spec.WasRefused());
    spec = "/c";
    EXPECT_STREQ(spec.GetPath(), "/c");
    EXPECT_FALSE(spec.WasRefused());
}

TEST(TFileSpecifier, CopiesAreIndependent) {
    TFileSpecifier original("/x/y");
    TFileSpecifier copy(original);
    TFileSpecifier assigned;
    assigned = original;
    std::strcpy(original.GetPathBuffer(), "/changed");
    EXPECT_STREQ(copy.GetPath(), "/x/y");
    EXPECT_STREQ(assigned.GetPath(), "/x/y");
}

TEST(TFileSpecifier, PathBufferIsTheWritablePath) {
    TFileSpecifier spec;
    std::strcpy(spec.GetPathBuffer(), "/written");
    EXPECT_STREQ(spec.GetPath(), "/written");
    EXPECT_FALSE(spec.IsEmpty());
}

TEST(TFileSpecifier, SettingItsOwnPathKeepsIt) {
    TFileSpecifier spec("/self");
    EXPECT_TRUE(spec.SetPath(spec.GetPath()));
    EXPECT_STREQ(spec.GetPath(), "/self");
}

}  // namespace
