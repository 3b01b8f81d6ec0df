// The product identity and the module's version record.
#include <gtest/gtest.h>

#include <fstream>

#include "stamper/CProductIdentity.h"
#include "stamper/ModuleVersion.h"

namespace {

struct FormatCase {
    const char* name;
    int code;
    unsigned c;
    const char* expected;
};

class VersionFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(VersionFormat, FormatsByCode) {
    const FormatCase& f = GetParam();
    char buffer[32];
    FormatVersion(buffer, sizeof buffer, f.code, 3, 0, f.c, 11);
    EXPECT_STREQ(buffer, f.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, VersionFormat,
    ::testing::Values(FormatCase{"Code3DropsZeroThird", 3, 0, "3.0"},
                      FormatCase{"Code3KeepsThird", 3, 2, "3.0.2"},
                      FormatCase{"Code4BuildInBrackets", 4, 0, "3.0 [11]"},
                      FormatCase{"Code4WithThird", 4, 2, "3.0.2 [11]"},
                      FormatCase{"Code5AllFour", 5, 0, "3.0.0.11"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ModuleVersion, ReadFromTheModuleFile) {
    unsigned v[4];
    ASSERT_TRUE(ReadModuleVersionRecord(QM_TEST_MODULE_PATH, v));
    EXPECT_EQ(v[0], 3u);
    EXPECT_EQ(v[1], 0u);
    EXPECT_EQ(v[2], 0u);
}

TEST(ModuleVersion, FileWithoutRecordGivesNone) {
    unsigned v[4] = {9, 9, 9, 9};
    EXPECT_FALSE(ReadModuleVersionRecord("/etc/hostname", v));
    EXPECT_FALSE(ReadModuleVersionRecord("/nonexistent", v));
    EXPECT_EQ(v[0], 9u);
}

TEST(ModuleVersion, TruncatedElfFileIsRefused) {
    std::ifstream module(QM_TEST_MODULE_PATH, std::ios::binary);
    std::string head(200, '\0');
    module.read(head.data(), static_cast<std::streamsize>(head.size()));
    const std::string path = ::testing::TempDir() + "truncated.api";
    std::ofstream(path, std::ios::binary) << head;
    unsigned v[4];
    EXPECT_FALSE(ReadModuleVersionRecord(path, v));
}

TEST(CProductIdentity, NameIsTrimmedAndVersionJoined) {
    CProductIdentity identity;
    identity.SetName("  Quillmark ");
    EXPECT_EQ(identity.GetName(), "Quillmark");
    EXPECT_EQ(identity.GetNameAndVersion(), "Quillmark " + identity.GetVersionString(3));
    EXPECT_FALSE(identity.IsPublishSuiteMember());
    identity.SetSuiteFlags(true, false);
    EXPECT_TRUE(identity.IsPublishSuiteMember());
    EXPECT_FALSE(identity.IsPrintSuiteMember());
}

}  // namespace
