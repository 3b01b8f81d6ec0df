// Cabinets written to host streams and read back: every value type, nesting,
// the format's layout, and reading damaged data without trusting any length.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "CabinetTestSupport.h"
#include "cabinet/Cabinet.h"
#include "cabinet/CabinetStream.h"
#include "common/PluginFixture.h"
#include "core/ScopeGuard.h"
#include "qmhost/AppSupportTable.h"
#include "support/Streams.h"

namespace {

using cabtest::CabinetTest;
using qmtest::hostErrorOf;
using cabtest::X;

// A stream over a string that can be written and then read from its start.
class StringStream : public qmhost::HostStream {
public:
    explicit StringStream(std::string* data) : mData(data) {}
    int64_t read(char* buffer, int64_t size) override {
        const int64_t n = std::min<int64_t>(size, static_cast<int64_t>(mData->size()) - mPos);
        if (n <= 0) return 0;
        std::memcpy(buffer, mData->data() + mPos, static_cast<size_t>(n));
        mPos += n;
        return n;
    }
    void write(const char* buffer, int64_t size) override { mData->append(buffer, static_cast<size_t>(size)); }

private:
    std::string* mData;
    int64_t mPos = 0;
};

ASStm OpenString(std::string* data) { return qmhost::registerStream(std::make_unique<StringStream>(data)); }

std::string Written(ASCab cab) {
    std::string data;
    ASStm stream = OpenString(&data);
    X().cabWrite(cab, stream);
    qmhost::closeStream(stream);
    return data;
}

ASCab ReadBack(const std::string& bytes) {
    std::string data = bytes;
    ASStm stream = OpenString(&data);
    return qmhost::withCleanUp([&] { return X().cabRead(stream); }, [&] { qmhost::closeStream(stream); });
}

// A profile with one value of every kind that a stream keeps, extreme
// numbers, empty values and a chain of cabinets as deep as allowed.
ASCab RichCabinet() {
    ASCab profile = X().cabNew();
    X().cabPutInt(profile, "kNumberOfStamps", 2);
    for (int i = 0; i < 2; ++i) {
        ASCab stamp = X().cabNew();
        X().cabPutInt(stamp, "kStampType", i);
        X().cabPutBool(stamp, "kOverlay", i == 1);
        X().cabPutDouble(stamp, "kHorizontalS", -12.75 * (i + 1));
        X().cabPutString(stamp, "kTextE", "Page $PageNo[1]\r\n第 2 行");
        X().cabPutText(stamp, "kPagesE", X().textFromUTF8("1-3, 5"));
        const char pdf[] = {'%', 'P', 'D', 'F', 0, '\n', static_cast<char>(0xFF)};
        X().cabPutBinary(stamp, "kActionC", pdf, sizeof pdf);
        X().cabPutInt(stamp, "kActionCFileSize", static_cast<int32_t>(sizeof pdf));
        X().cabPutCab(profile, ("kStamp" + std::to_string(i)).c_str(), stamp);
    }
    X().cabPutInt(profile, "min", std::numeric_limits<int32_t>::min());
    X().cabPutDouble(profile, "inf", -std::numeric_limits<double>::infinity());
    X().cabPutDouble(profile, "tiny", std::numeric_limits<double>::denorm_min());
    X().cabPutDouble(profile, "negzero", -0.0);
    X().cabPutString(profile, "empty", "");
    X().cabPutText(profile, "emptyText", X().textFromUTF8(""));
    X().cabPutBinary(profile, "emptyBinary", nullptr, 0);
    X().cabPutCab(profile, "emptyCab", X().cabNew());
    ASCab at = profile;
    for (int level = 1; level < kASCabMaxDepth; ++level) {
        ASCab next = X().cabNew();
        X().cabPutInt(next, "level", level + 1);
        X().cabPutCab(at, "next", next);
        at = next;
    }
    return profile;
}

// Whether two cabinets hold the same keys with the same values (pointers aside).
bool SameContent(ASCab a, ASCab b) {
    if (X().cabNumEntries(a) != X().cabNumEntries(b)) return false;
    for (int32_t i = 0; i < X().cabNumEntries(a); ++i) {
        const char* key = X().cabKeyAt(a, i);
        if (std::strcmp(key, X().cabKeyAt(b, i)) != 0) return false;
        const int32_t type = X().cabGetType(a, key);
        if (type != X().cabGetType(b, key)) return false;
        switch (type) {
            case kASCabValueInt:
                if (X().cabGetInt(a, key, 0) != X().cabGetInt(b, key, 1)) return false;
                break;
            case kASCabValueBool:
                if (X().cabGetBool(a, key, false) != X().cabGetBool(b, key, false)) return false;
                break;
            case kASCabValueDouble: {
                const double x = X().cabGetDouble(a, key, 0), y = X().cabGetDouble(b, key, 0);
                if (std::memcmp(&x, &y, sizeof x) != 0) return false;
                break;
            }
            case kASCabValueString:
                if (std::strcmp(X().cabGetString(a, key), X().cabGetString(b, key)) != 0) return false;
                break;
            case kASCabValueText:
                if (std::strcmp(X().textGetUTF8(X().cabGetText(a, key)),
                                X().textGetUTF8(X().cabGetText(b, key))) != 0)
                    return false;
                break;
            case kASCabValueBinary: {
                int64_t n = 0, m = 0;
                const void* x = X().cabGetBinary(a, key, &n);
                const void* y = X().cabGetBinary(b, key, &m);
                if (n != m || std::memcmp(x, y, static_cast<size_t>(n)) != 0) return false;
                break;
            }
            case kASCabValueCab:
                if (!SameContent(X().cabGetCab(a, key), X().cabGetCab(b, key))) return false;
                break;
            default:
                return false;
        }
    }
    return true;
}

TEST_F(CabinetTest, EveryValueTypeRoundTripsThroughAStream) {
    ASCab profile = RichCabinet();
    ASCab back = ReadBack(Written(profile));
    EXPECT_TRUE(SameContent(profile, back));
    EXPECT_TRUE(std::signbit(X().cabGetDouble(back, "negzero", 1.0)));
    X().cabDestroy(profile);
    X().cabDestroy(back);
}

TEST_F(CabinetTest, PointersAreNotWritten) {
    int object = 0;
    ASCab cab = X().cabNew();
    X().cabPutPointer(cab, "iStampObject", "CStamp*", &object, nullptr);
    X().cabPutInt(cab, "iCurrentPage", 3);
    ASCab back = ReadBack(Written(cab));
    EXPECT_EQ(X().cabNumEntries(back), 1);
    EXPECT_EQ(X().cabGetInt(back, "iCurrentPage", 0), 3);
    X().cabDestroy(cab);
    X().cabDestroy(back);
}

// Stored files carry the checksum, so it must stay CRC-16/X-25 exactly: the
// catalogue's check value, the empty body, and the CRC's residue: a body with
// its own checksum appended (low byte first) always checks to 0x0F47, which
// holds only with the right polynomial, bit order, preset and final inversion.
TEST(CabinetChecksum, IsCrc16X25) {
    const struct {
        std::string body;
        uint16_t sum;
    } rows[] = {{"123456789", 0x906E}, {"", 0x0000}};
    for (const auto& row : rows) EXPECT_EQ(qmhost::cabinetChecksum(row.body), row.sum) << row.body;
    std::mt19937 random(7);
    for (int length = 1; length < 200; length += 7) {
        std::string body(static_cast<size_t>(length), '\0');
        for (char& byte : body) byte = static_cast<char>(random());
        const uint16_t sum = qmhost::cabinetChecksum(body);
        body += static_cast<char>(sum & 0xFF);
        body += static_cast<char>(sum >> 8);
        EXPECT_EQ(qmhost::cabinetChecksum(body), 0x0F47) << "length " << length;
    }
}

// The bytes of a one-entry cabinet, and reading stops at the cabinet's end.
TEST_F(CabinetTest, LayoutOfTheFormatIsStable) {
    ASCab cab = X().cabNew();
    X().cabPutInt(cab, "a", 0x01020304);
    const std::string bytes = Written(cab);
    const std::string body("\x01\x00\x00\x00"   // one entry
                           "\x01"               // integer
                           "\x01\x00" "a"       // key
                           "\x04\x00\x00\x00"   // value length
                           "\x04\x03\x02\x01",  // the value
                           16);
    const uint16_t sum = qmhost::cabinetChecksum(body);
    std::string expected("QMCB\x01\x00", 6);
    expected += static_cast<char>(sum & 0xFF);
    expected += static_cast<char>(sum >> 8);
    expected += std::string("\x10\x00\x00\x00", 4);
    expected += body;
    EXPECT_EQ(bytes, expected);
    std::string data = bytes + "TAIL";
    ASStm stream = OpenString(&data);
    ASCab back = X().cabRead(stream);
    char rest[8] = {};
    EXPECT_EQ(qmhost::streamOf(stream).read(rest, 8), 4);
    EXPECT_EQ(std::string(rest, 4), "TAIL");
    qmhost::closeStream(stream);
    X().cabDestroy(cab);
    X().cabDestroy(back);
}

TEST_F(CabinetTest, FileRoundTripThroughAppSupportStreams) {
    qmhost::registerHostTables();
    const AppSupportTable& as = *qmhost::appSupportTable();
    const std::string path = qmtest::MakeTempFolder("qmcab") + "/profile.nxp";
    ASPathName name = as.pathFromText(path.c_str());
    ASCab profile = RichCabinet();
    ASStm out = as.fileStmOpen(name, kASStmWrite);
    X().cabWrite(profile, out);
    as.stmClose(out);
    ASStm in = as.fileStmOpen(name, kASStmRead);
    ASCab back = X().cabRead(in);
    as.stmClose(in);
    as.releasePath(name);
    EXPECT_TRUE(SameContent(profile, back));
    X().cabDestroy(profile);
    X().cabDestroy(back);
}

TEST_F(CabinetTest, WritingToAReadOnlyStreamRaisesTheStreamsError) {
    ASCab cab = X().cabNew();
    ASStm in = qmhost::openMemoryStream("data");
    EXPECT_EQ(hostErrorOf([&] { X().cabWrite(cab, in); }), kHostErrStream);
    qmhost::closeStream(in);
    EXPECT_EQ(hostErrorOf([&] { X().cabWrite(cab, nullptr); }), kHostErrBadHandle);
    X().cabDestroy(cab);
}

}  // namespace
