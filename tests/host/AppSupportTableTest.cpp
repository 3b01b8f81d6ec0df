// Memory, streams, paths and fixed-point arithmetic of the AppSupport table.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "HostTables.h"
#include "common/PluginFixture.h"
#include "core/Callbacks.h"
#include "support/HostMemory.h"
#include "support/Streams.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CoreTable.h"
#include "qmhost/HostError.h"

namespace {

const AppSupportTable& AS() {
    qmhost::registerHostTables();
    return *qmhost::appSupportTable();
}

ASFixed F(double v) { return static_cast<ASFixed>(v * 65536.0); }

TEST(AppSupportMemory, BlockBeyondTheLimitIsNull) {
    qmhost::hostMemory().setLimit(1024);
    EXPECT_EQ(AS().memMalloc(4096), nullptr);
    void* block = AS().memMalloc(512);
    EXPECT_NE(block, nullptr);
    AS().memFree(block);
    AS().memFree(nullptr);
    qmhost::hostMemory().setLimit(uint64_t(1) << 32);
    EXPECT_EQ(AS().memMalloc(uint64_t(1) << 40), nullptr);
}

TEST(AppSupportStreams, MemoryStreamReadsInItemsAndEnds) {
    const char data[] = "0123456789";
    ASStm stm = AS().memStmOpen(data, 10);
    char buffer[8];
    EXPECT_EQ(AS().stmRead(buffer, 4, 2, stm), 2);
    EXPECT_EQ(std::string(buffer, 8), "01234567");
    EXPECT_EQ(AS().stmRead(buffer, 1, 8, stm), 2);
    EXPECT_EQ(AS().stmRead(buffer, 1, 8, stm), 0);
    EXPECT_THROW(AS().stmWrite("x", 1, 1, stm), HostError);
    AS().stmClose(stm);
    EXPECT_THROW(AS().stmRead(buffer, 1, 1, stm), HostError) << "a closed stream is stale";
}

TEST(AppSupportStreams, FileStreamWritesAndReadsBack) {
    const std::string path = qmtest::MakeTempFolder("qmstm") + "/data.bin";
    ASPathName name = AS().pathFromText(path.c_str());
    ASStm out = AS().fileStmOpen(name, kASStmWrite);
    const char bytes[] = {'a', '\0', 'b', '\n'};
    EXPECT_EQ(AS().stmWrite(bytes, 1, 4, out), 4);
    AS().stmClose(out);
    ASStm in = AS().fileStmOpen(name, kASStmRead);
    char back[8] = {};
    EXPECT_EQ(AS().stmRead(back, 1, 8, in), 4);
    EXPECT_EQ(std::string(back, 4), std::string(bytes, 4));
    AS().stmClose(in);
    AS().releasePath(name);
}

TEST(AppSupportStreams, MissingFileRaisesWithItsPath) {
    ASPathName name = AS().pathFromText("/nonexistent-folder/missing.pdf");
    try {
        AS().fileStmOpen(name, kASStmRead);
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.code(), kHostErrFileNotFound);
        EXPECT_NE(std::string(e.what()).find("/nonexistent-folder/missing.pdf"), std::string::npos);
    }
    AS().releasePath(name);
}

struct Source {
    std::string data;
    size_t pos = 0;
    int32_t lie = 0;  // added to every count the procedure answers
};

int32_t ReadSource(char* buffer, int32_t size, void* client) {
    auto* s = static_cast<Source*>(client);
    const size_t n = std::min(static_cast<size_t>(std::max(size, 0)), s->data.size() - s->pos);
    std::copy_n(s->data.data() + s->pos, n, buffer);
    s->pos += n;
    return n == 0 ? 0 : static_cast<int32_t>(n) + s->lie;
}

TEST(AppSupportStreams, ProcedureStreamPullsThroughTheCallback) {
    Source source{std::string(100000, 'q')};
    ASCallback cb = qmhost::coreTable()->makeCallback(nullptr, reinterpret_cast<ASProc>(&ReadSource));
    ASStm stm = AS().procStmOpen(cb, &source);
    std::string all;
    char buffer[4096];
    for (int32_t n; (n = AS().stmRead(buffer, 1, sizeof buffer, stm)) > 0;) all.append(buffer, static_cast<size_t>(n));
    EXPECT_EQ(all, source.data);
    AS().stmClose(stm);
}

TEST(AppSupportStreams, ProcedureAnsweringMoreThanAskedIsNotTrusted) {
    Source source{std::string(10, 'x'), 0, 1000};
    ASCallback cb = qmhost::coreTable()->makeCallback(nullptr, reinterpret_cast<ASProc>(&ReadSource));
    ASStm stm = AS().procStmOpen(cb, &source);
    char buffer[4];
    EXPECT_LE(AS().stmRead(buffer, 1, 4, stm), 4);
    AS().stmClose(stm);
}

TEST(AppSupportPaths, TooLongPathIsRefusedNotCut) {
    const std::string longPath = "/" + std::string(PATH_MAX + 10, 'a');
    try {
        AS().pathFromText(longPath.c_str());
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.code(), kHostErrPathTooLong);
    }
    EXPECT_THROW(AS().pathFromText(""), HostError);
}

TEST(AppSupportPaths, TextIsBoundedAndFullLengthReported) {
    ASPathName name = AS().pathFromText("/tmp/some/file.pdf");
    char small[6];
    EXPECT_EQ(AS().pathGetText(name, small, sizeof small), 18);
    EXPECT_STREQ(small, "/tmp/");
    AS().releasePath(name);
}

TEST(AppSupportFixed, MultiplyAndDivideRound) {
    EXPECT_EQ(AS().fixedMul(F(1.5), F(2)), F(3));
    EXPECT_EQ(AS().fixedMul(F(-1.5), F(2)), F(-3));
    EXPECT_EQ(AS().fixedDiv(F(3), F(2)), F(1.5));
    EXPECT_THROW(AS().fixedDiv(F(3), 0), HostError);
    EXPECT_EQ(AS().fixedMul(F(30000), F(30000)), INT32_MAX) << "clamped, not wrapped";
}

// Every fixed result is the exact value rounded half away from zero and
// clamped: checked against std::round on halves, values a hair beside them,
// both ends of the range and a spread of products.
int64_t RoundedReference(double raw) {
    if (std::isnan(raw)) return 0;
    const double rounded = std::round(raw);
    if (rounded >= 2147483647.0) return INT32_MAX;
    if (rounded <= -2147483648.0) return INT32_MIN;
    return static_cast<int64_t>(rounded);
}

TEST(AppSupportFixed, ProductsRoundHalfAwayFromZeroAndClamp) {
    struct Row {
        ASFixed a, b;  // fixedMul(a, b) is a * b / 65536 rounded
        int64_t expected;
    };
    const std::vector<Row> rows = {
        {1, 32768, 1},           {-1, 32768, -1},          {3, 32768, 2},
        {-3, 32768, -2},         {1, 32767, 0},            {-1, 32767, 0},
        {5, 13107, 1},           {0, INT32_MAX, 0},        {INT32_MAX, 65536, INT32_MAX},
        {INT32_MIN, 65536, INT32_MIN}, {INT32_MAX, 65537, INT32_MAX}, {INT32_MIN, 65537, INT32_MIN},
        {INT32_MIN, -65536, INT32_MAX}, {65535, 65535, 65534},  {-65535, 65535, -65534},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.a) + " * " + std::to_string(row.b));
        EXPECT_EQ(AS().fixedMul(row.a, row.b), row.expected);
        EXPECT_EQ(row.expected, RoundedReference(static_cast<double>(row.a) * row.b / 65536.0));
    }
    uint64_t state = 88172645463325252ULL;  // xorshift: the same spread every run
    auto next = [&] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<ASFixed>(static_cast<uint32_t>(state));
    };
    for (int i = 0; i < 5000; ++i) {
        const ASFixed a = next();
        // Small and large second factors, so that both the fractions and the clamps are met.
        const ASFixed b = i % 2 ? next() % 131072 : next();
        ASSERT_EQ(AS().fixedMul(a, b), RoundedReference(static_cast<double>(a) * b / 65536.0)) << a << " * " << b;
    }
}

TEST(AppSupportFixed, ConcatAppliesSecondFirst) {
    const ASFixedMatrix scale{F(2), 0, 0, F(2), 0, 0};
    const ASFixedMatrix shift{F(1), 0, 0, F(1), F(10), F(20)};
    ASFixedMatrix m;
    AS().fixedMatrixConcat(&m, &shift, &scale);  // scale first, then shift
    ASFixedPoint p{F(1), F(1)}, out;
    AS().fixedMatrixTransform(&out, &m, &p);
    EXPECT_EQ(out.h, F(12));
    EXPECT_EQ(out.v, F(22));
    AS().fixedMatrixConcat(&m, &scale, &shift);  // shift first, then scale
    AS().fixedMatrixTransform(&out, &m, &p);
    EXPECT_EQ(out.h, F(22));
    EXPECT_EQ(out.v, F(42));
}

TEST(AppSupportFixed, InverseUndoesTheMatrixAndSingularIsRefused) {
    const ASFixedMatrix rot90{0, F(-1), F(1), 0, F(-10), F(600)};
    ASFixedMatrix inv;
    ASSERT_TRUE(AS().fixedMatrixInvert(&inv, &rot90));
    ASFixedMatrix both;
    AS().fixedMatrixConcat(&both, &inv, &rot90);
    EXPECT_EQ(both.a, F(1));
    EXPECT_EQ(both.b, 0);
    EXPECT_EQ(both.c, 0);
    EXPECT_EQ(both.d, F(1));
    EXPECT_EQ(both.h, 0);
    EXPECT_EQ(both.v, 0);
    const ASFixedMatrix singular{F(1), F(2), F(2), F(4), 0, 0};
    ASFixedMatrix untouched{1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(AS().fixedMatrixInvert(&untouched, &singular));
    EXPECT_EQ(untouched.a, 1);
}

TEST(AppSupportFixed, RectTransformGivesNormalisedBoundingBox) {
    const ASFixedMatrix rot90{0, F(-1), F(1), 0, 0, F(612)};  // x' = y, y' = 612 - x
    const ASFixedRect page{0, F(792), F(612), 0};
    ASFixedRect out;
    AS().fixedMatrixTransformRect(&out, &rot90, &page);
    EXPECT_EQ(out.left, 0);
    EXPECT_EQ(out.bottom, 0);
    EXPECT_EQ(out.right, F(792));
    EXPECT_EQ(out.top, F(612));
}

}  // namespace
