// The string table: parsing, the embedded texts, and the shared buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/ResourceStrings.h"

namespace {

TEST(ParseStringTable, ReadsIdsTextsAndEscapes) {
    const auto table = ParseStringTable(
        "# comment\n"
        "\n"
        "7\tplain\n"
        "8\tline\\none\\ttab\\\\slash\r\n"
        "9\t\n"
        "10\tunknown \\q escape\n"
        "x1\tnot an id\n"
        "11 no tab\n"
        "12\tfirst\n"
        "12\tsecond\n"
        "13\tno final newline");
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(table.at(7), "plain");
    EXPECT_EQ(table.at(8), "line\none\ttab\\slash");
    EXPECT_EQ(table.at(9), "");
    EXPECT_EQ(table.at(10), "unknown \\q escape");
    EXPECT_EQ(table.at(12), "second");
    EXPECT_EQ(table.at(13), "no final newline");
}

TEST(ParseStringTable, TabInsideTheTextBelongsToTheText) {
    const auto table = ParseStringTable("5\ta\tb\n");
    EXPECT_EQ(table.at(5), "a\tb");
}

struct StringRow {
    const char* name;
    uint32_t id;
    const char* text;
};

class EmbeddedStrings : public testing::TestWithParam<StringRow> {};

TEST_P(EmbeddedStrings, TextIsAsWritten) { EXPECT_EQ(GetResString(GetParam().id), GetParam().text); }

// One row per kind of text: ASCII, Chinese, printf formats, "&" accelerators,
// "|" filters and the largest ids.
INSTANTIATE_TEST_SUITE_P(
    Table, EmbeddedStrings,
    testing::Values(StringRow{"MenuTitle", 4, "Quillmark..."},
                    StringRow{"UserGuide", 5, "Quillmark_User_Guide.pdf"},
                    StringRow{"ManageStamps", 7, "管理印章"},
                    StringRow{"ProfileFilter", 13, "Quillmark 描述文件(*.nxp)|*.nxp||"},
                    StringRow{"DeleteAllQuestion", 20, "确信要删除全部的被选印章?"},
                    StringRow{"RunComplete", 26, "进程完成"},
                    StringRow{"RunFailed", 27, "进程出错"},
                    StringRow{"NewStampMenu", 34, "新建印章(&N)"},
                    StringRow{"Caption", 45, "Quillmark"},
                    StringRow{"MissingImage", 200, "源图像文件 %s 不存在"},
                    StringRow{"PageRange", 207, "不能设置选择的页面范围: %s"},
                    StringRow{"UserStopped", 209, "进程被用户停止"},
                    StringRow{"MenuInstall", 210, "查看器菜单安装有问题"},
                    StringRow{"UndoFailed", 217, "恢复动作出错"},
                    StringRow{"ImageFailed", 218, "创建图像 %s 出错"}),
    [](const testing::TestParamInfo<StringRow>& row) { return row.param.name; });

TEST(ResourceStrings, EveryIdThePlugInUsesIsPresent) {
    const uint32_t ids[] = {4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 15, 16, 17, 18, 19, 20,
                            21, 22, 23, 24, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37,
                            38, 39, 40, 41, 42, 43, 44, 45, 200, 201, 202, 203, 204, 205, 206,
                            207, 208, 209, 210, 211, 212, 213, 214, 215, 217, 218};
    for (uint32_t id : ids) EXPECT_FALSE(GetResString(id).empty()) << id;
}

TEST(LoadResString, MissingIdIsTheEmptyText) {
    char buffer[kResStringCapacity];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_STREQ(LoadResString(14, buffer), "");
    EXPECT_STREQ(LoadResString(99999), "");
}

TEST(LoadResString, WithoutBufferSecondCallOverwritesTheFirst) {
    const char* first = LoadResString(8);
    EXPECT_STREQ(first, "恢复");
    const char* second = LoadResString(9);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "记录");
}

TEST(LoadResString, OwnBufferIsUsedAndAnswered) {
    char buffer[kResStringCapacity];
    EXPECT_EQ(LoadResString(10, buffer), buffer);
    EXPECT_STREQ(buffer, "查看记录");
}

TEST(LoadResStringF, FormatsTheLoadedTextIntoTheFormatBuffer) {
    char* text = LoadResStringF(201, nullptr, "/tmp/a.pdf");
    EXPECT_EQ(text, GetFormatBuffer());
    EXPECT_STREQ(text, "源文件 /tmp/a.pdf 不存在");
}

TEST(LoadResStringF, MissingIdFormatsNothing) {
    EXPECT_STREQ(LoadResStringF(14, nullptr, "ignored"), "");
}

TEST(LoadResStringF, LongArgumentIsCutOnACharacterBoundary) {
    // "创建图像 %s 出错": 13 bytes before the argument; the argument's three-byte
    // characters straddle the 1024-byte limit.
    std::string argument;
    for (int i = 0; i < 400; ++i) argument += "图";
    const std::string text = LoadResStringF(218, nullptr, argument.c_str());
    EXPECT_LE(text.size(), kResStringCapacity - 1);
    EXPECT_EQ(text.size() % 3, 1u);  // 13 + 3k bytes: no character cut in half
    EXPECT_EQ(text.compare(0, 13, "创建图像 "), 0);
}

TEST(FormatBounded, NeverWritesPastTheCapacity) {
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    FormatBounded(buffer, 5, "%s", "abcdefgh");
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(buffer[5], 'x');
}

TEST(Utf8CompleteLength, DropsOnlyASequenceCutShort) {
    const char whole[] = "a\xE4\xB8\xAD";  // "a" and one three-byte character
    EXPECT_EQ(Utf8CompleteLength(whole, 4), 4u);
    EXPECT_EQ(Utf8CompleteLength(whole, 3), 1u);
    EXPECT_EQ(Utf8CompleteLength(whole, 2), 1u);
    EXPECT_EQ(Utf8CompleteLength(whole, 1), 1u);
    EXPECT_EQ(Utf8CompleteLength("", 0), 0u);
}

TEST(ResourceInstance, KeepsTheHandle) {
    void* before = GetResourceInstance();
    int marker = 0;
    SetResourceInstance(&marker);
    EXPECT_EQ(GetResourceInstance(), &marker);
    SetResourceInstance(before);
}

}  // namespace
