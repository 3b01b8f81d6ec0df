// Reading damaged cabinet data: every length is checked against what is there,
// nesting is bounded, and bad data is a host error with a message, never a
// crash, a hang or an over-read (the tests run under AddressSanitizer).
#include <random>
#include <string>
#include <vector>

#include "CabinetTestSupport.h"
#include "cabinet/Cabinet.h"
#include "cabinet/CabinetStream.h"
#include "support/Streams.h"

namespace {

using cabtest::CabinetTest;
using cabtest::X;
using qmhost::kCabinetStreamHeaderSize;
using qmhost::kCabinetStreamMaxBody;

std::string LE(uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

std::string Entry(uint8_t type, const std::string& key, const std::string& value) {
    return LE(type, 1) + LE(key.size(), 2) + key + LE(value.size(), 4) + value;
}

std::string Cab(uint32_t count, const std::string& entries) { return LE(count, 4) + entries; }

// A header with the right checksum and length for the body, so that the
// reader's checks of the body itself are reached.
std::string WithHeader(const std::string& body, uint16_t version = qmhost::kCabinetStreamVersion) {
    return "QMCB" + LE(version, 2) + LE(qmhost::cabinetChecksum(body), 2) + LE(body.size(), 4) + body;
}

std::string Nested(int levels) {
    std::string cab = Cab(0, "");
    for (int i = 1; i < levels; ++i) cab = Cab(1, Entry(kASCabValueCab, "next", cab));
    return cab;
}

struct DamageRow {
    const char* name;
    std::string data;
    const char* message;  // a part of the expected message
};

std::vector<DamageRow> DamageRows() {
    const std::string valid = WithHeader(Cab(1, Entry(kASCabValueInt, "a", LE(5, 4))));
    std::string flipped = valid;
    flipped.back() ^= 0x40;
    std::string newer = valid;
    newer[4] = 2;
    std::string huge = valid;
    huge.replace(8, 4, LE(kCabinetStreamMaxBody + 1u, 4));
    return {
        {"EmptyStream", "", "no data at byte 0"},
        {"ShortHeader", "QMCB\x01", "a header of 5 bytes"},
        {"WrongSignature", "QMCX" + valid.substr(4), "no cabinet signature"},
        {"NewerFormatVersion", newer, "format version 2"},
        {"BodyLengthBeyondTheLimit", huge, "a body length of 1073741825 bytes"},
        {"TruncatedBody", valid.substr(0, valid.size() - 1), "a body of 15 bytes where 16 were announced"},
        {"ChecksumMismatch", flipped, "a checksum mismatch"},
        {"EntryCountBeyondTheData", WithHeader(Cab(1000, Entry(kASCabValueBool, "b", "\x01"))),
         "1000 entries in 9 bytes"},
        {"ZeroKeyLength", WithHeader(Cab(1, LE(1, 1) + LE(0, 2) + LE(4, 4) + LE(0, 4))), "a key length of 0"},
        {"KeyLengthBeyondTheData", WithHeader(Cab(1, LE(1, 1) + LE(50, 2) + "abcdefgh")),
         "a key of 50 bytes where 8 remain"},
        {"ValueLengthBeyondTheData",
         WithHeader(Cab(1, LE(kASCabValueBinary, 1) + LE(1, 2) + "k" + LE(0xFFFFFFFFu, 4) + "xy")),
         "a value of 4294967295 bytes where 2 remain"},
        {"UnknownValueType", WithHeader(Cab(1, Entry(9, "k", ""))), "an unknown value type 9"},
        {"PointerTypeInData", WithHeader(Cab(1, Entry(kASCabValuePointer, "k", LE(0, 8)))),
         "an unknown value type 8"},
        {"ShortInteger", WithHeader(Cab(1, Entry(kASCabValueInt, "k", "\x01\x02\x03"))),
         "an integer value of 3 bytes"},
        {"LongDouble", WithHeader(Cab(1, Entry(kASCabValueDouble, "k", std::string(9, '\0')))),
         "a double value of 9 bytes"},
        {"BooleanOtherThanZeroOrOne", WithHeader(Cab(1, Entry(kASCabValueBool, "k", "\x02"))),
         "a boolean of value 2"},
        {"NulInString", WithHeader(Cab(1, Entry(kASCabValueString, "k", std::string("a\0b", 3)))),
         "a NUL byte in a string"},
        {"NulInText", WithHeader(Cab(1, Entry(kASCabValueText, "k", std::string("\0", 1)))),
         "a NUL byte in a text"},
        {"NulInKey", WithHeader(Cab(1, Entry(kASCabValueInt, std::string("k\0", 2), LE(1, 4)))),
         "a NUL byte in a key"},
        {"DuplicateKey",
         WithHeader(Cab(2, Entry(kASCabValueInt, "k", LE(1, 4)) + Entry(kASCabValueInt, "k", LE(2, 4)))),
         "the key \"k\" twice"},
        {"NestedTooDeep", WithHeader(Nested(kASCabMaxDepth + 1)), "nested deeper than 32 levels"},
        {"BytesLeftOverInASubCabinet", WithHeader(Cab(1, Entry(kASCabValueCab, "s", Cab(0, "") + "zz"))),
         "2 bytes left over in a sub-cabinet"},
        {"BytesLeftOverInTheBody", WithHeader(Cab(0, "") + "zzz"), "3 bytes left over"},
    };
}

class CabinetDamagedData : public CabinetTest, public ::testing::WithParamInterface<DamageRow> {};

TEST_P(CabinetDamagedData, IsRefusedWithAMessage) {
    std::string data = GetParam().data;
    ASStm stream = qmhost::openMemoryStream(data);
    try {
        X().cabRead(stream);
        ADD_FAILURE() << "damaged data was accepted";
    } catch (const HostError& e) {
        EXPECT_EQ(e.code(), kHostErrFileRead);
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(" at byte "), std::string::npos) << e.what();
    }
    qmhost::closeStream(stream);
}

INSTANTIATE_TEST_SUITE_P(Rows, CabinetDamagedData, ::testing::ValuesIn(DamageRows()),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(CabinetTest, DeepestAllowedNestingInDataIsRead) {
    const std::string data = WithHeader(Nested(kASCabMaxDepth));
    EXPECT_NE(qmhost::decodeCabinet(data), nullptr);
}

TEST_F(CabinetTest, BytesAfterTheCabinetAreRefusedWhenTheDataMustBeOneCabinet) {
    const std::string data = WithHeader(Cab(0, "")) + "x";
    try {
        qmhost::decodeCabinet(data);
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.code(), kHostErrFileRead);
        EXPECT_NE(std::string(e.what()).find("1 bytes after the cabinet's end"), std::string::npos);
    }
}

// A valid profile-like cabinet in the stream format.
std::string ValidData() {
    ASCab profile = X().cabNew();
    X().cabPutInt(profile, "kNumberOfStamps", 1);
    ASCab stamp = X().cabNew();
    X().cabPutBool(stamp, "kOverlay", true);
    X().cabPutDouble(stamp, "kHorizontalS", 36.5);
    X().cabPutString(stamp, "kTextE", "Bates $BatesNo[1]");
    X().cabPutText(stamp, "kSelectFileE", X().textFromUTF8("/tmp/logo.pdf"));
    X().cabPutBinary(stamp, "kActionC", "%PDF-1.4\n", 9);
    X().cabPutCab(stamp, "inner", X().cabNew());
    X().cabPutCab(profile, "kStamp0", stamp);
    std::string out = qmhost::encodeCabinet(qmhost::cabinetOf(profile));
    X().cabDestroy(profile);
    return out;
}

// Gives a mutated stream a header that matches its body again.
std::string Restamped(std::string data) {
    if (data.size() < kCabinetStreamHeaderSize) return data;
    const std::string body = data.substr(kCabinetStreamHeaderSize);
    const uint16_t sum = qmhost::cabinetChecksum(body);
    data[6] = static_cast<char>(sum & 0xFF);
    data[7] = static_cast<char>(sum >> 8);
    data.replace(8, 4, LE(body.size(), 4));
    return data;
}

std::string Mutated(const std::string& valid, std::mt19937& random) {
    std::string data = valid;
    auto at = [&](size_t size) { return size ? std::uniform_int_distribution<size_t>(0, size - 1)(random) : 0; };
    const int edits = 1 + static_cast<int>(random() % 3);
    for (int e = 0; e < edits && !data.empty(); ++e) {
        switch (random() % 5) {
            case 0: data[at(data.size())] ^= static_cast<char>(1u << (random() % 8)); break;
            case 1: data[at(data.size())] = static_cast<char>(random()); break;
            case 2: data.resize(at(data.size())); break;
            case 3: data.insert(at(data.size()), 1, static_cast<char>(random())); break;
            default: {
                const size_t from = at(data.size());
                data.insert(at(data.size()), data.substr(from, random() % 16));
            }
        }
    }
    return data;
}

// Each mutation is read through the table; the answer is a cabinet or a
// kHostErrFileRead, nothing else. What is accepted must write back and read
// again to the same bytes.
TEST_F(CabinetTest, ThousandsOfMutationsAreReadOrRefusedNeverCrash) {
    const std::string valid = ValidData();
    std::mt19937 random(20240607);  // fixed seed: the same mutations in every run
    int refused = 0, accepted = 0;
    for (int i = 0; i < 4000; ++i) {
        std::string data = Mutated(valid, random);
        if (i % 2) data = Restamped(data);  // reach the body checks past the checksum
        ASStm stream = qmhost::openMemoryStream(data);
        try {
            ASCab cab = X().cabRead(stream);
            ++accepted;
            const std::string again = qmhost::encodeCabinet(qmhost::cabinetOf(cab));
            EXPECT_EQ(qmhost::encodeCabinet(*qmhost::decodeCabinet(again)), again) << "mutation " << i;
            X().cabDestroy(cab);
        } catch (const HostError& e) {
            ++refused;
            ASSERT_EQ(e.code(), kHostErrFileRead) << "mutation " << i << ": " << e.what();
        }
        qmhost::closeStream(stream);
    }
    EXPECT_GT(refused, 1000);
    EXPECT_GT(accepted, 10) << "restamped changes inside values are sound data";
}

}  // namespace
