// The host's core: atoms, callbacks, the table registry and errors, used
// through the tables as a plug-in uses them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "HostTables.h"
#include "core/AtomTable.h"
#include "core/Callbacks.h"
#include "core/TableRegistry.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CoreTable.h"
#include "qmhost/HostError.h"

namespace {

const CoreTable& Core() {
    qmhost::registerHostTables();
    return *qmhost::coreTable();
}

TEST(CoreTable, SameStringGivesSameAtomAndBack) {
    const ASAtom a = Core().atomFromString("FlateDecode");
    const ASAtom b = Core().atomFromString("FlateDecode");
    const ASAtom c = Core().atomFromString("DCTDecode");
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_STREQ(Core().atomGetString(a), "FlateDecode");
    EXPECT_STREQ(Core().atomGetString(c), "DCTDecode");
}

TEST(CoreTable, AtomExistsDoesNotMakeOne) {
    ASAtom found = kASAtomNull;
    EXPECT_FALSE(Core().atomExistsForString("NeverMadeBeforeThisTest", &found));
    EXPECT_FALSE(Core().atomExistsForString("NeverMadeBeforeThisTest", &found));
    const ASAtom made = Core().atomFromString("NeverMadeBeforeThisTest");
    EXPECT_TRUE(Core().atomExistsForString("NeverMadeBeforeThisTest", &found));
    EXPECT_EQ(found, made);
}

// The Cos entries use an atom's PDF name by reference while they work; the
// names made before stay where they are while many more atoms are made.
TEST(CoreTable, PdfNamesOfAtomsStayPutWhileAtomsAreMade) {
    struct Row {
        const char* text;
        const char* pdfName;
    };
    const Row rows[] = {{"Contents", "/Contents"}, {"", "/"}, {"NxGS0", "/NxGS0"}, {"1.3", "/1.3"}};
    std::vector<const std::string*> kept;
    for (const Row& row : rows) {
        const std::string* name = qmhost::atoms().pdfName(Core().atomFromString(row.text));
        ASSERT_NE(name, nullptr) << row.text;
        EXPECT_EQ(*name, row.pdfName);
        kept.push_back(name);
    }
    for (int i = 0; i < 5000; ++i) Core().atomFromString(("PdfNameGrowth" + std::to_string(i)).c_str());
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(*kept[i], rows[i].pdfName);
        EXPECT_EQ(kept[i], qmhost::atoms().pdfName(Core().atomFromString(rows[i].text)));
    }
    EXPECT_EQ(qmhost::atoms().pdfName(kASAtomNull), nullptr);
}

TEST(CoreTable, AtomOfEmptyStringAndBadArguments) {
    const ASAtom empty = Core().atomFromString("");
    EXPECT_STREQ(Core().atomGetString(empty), "");
    EXPECT_THROW(Core().atomFromString(nullptr), HostError);
    EXPECT_THROW(Core().atomGetString(kASAtomNull), HostError);
}

TEST(CoreTable, RequiredTablesAreOfferedAtBothVersions) {
    for (const char* name : {"AppSupport", "Cos", "PDModel", "PDFEditWrite", "PDFEditRead", "AppView",
                             "PDSWrite", "PDSRead", "Win", "PDSysFont", "PagePDEContent"}) {
        const ASAtom atom = Core().atomFromString(name);
        EXPECT_NE(Core().getTable(atom, kTableVersion5_1), nullptr) << name;
        EXPECT_NE(Core().getTable(atom, kTableVersion5_0), nullptr) << name;
        EXPECT_EQ(Core().getTable(atom, 0x60000), nullptr) << name << " at a version never offered";
    }
}

TEST(CoreTable, PageContentTablesAlsoAtOlderVersionsOthersNot) {
    for (const char* name : {"PDSysFont", "PagePDEContent"}) {
        const ASAtom atom = Core().atomFromString(name);
        EXPECT_NE(Core().getTable(atom, kTableVersion4_5), nullptr) << name;
        EXPECT_NE(Core().getTable(atom, kTableVersion4_0), nullptr) << name;
    }
    EXPECT_EQ(Core().getTable(Core().atomFromString("AppView"), kTableVersion4_5), nullptr);
}

TEST(CoreTable, WithheldTableIsAbsentUntilCleared) {
    const ASAtom atom = Core().atomFromString("Win");
    qmhost::tables().withhold("Win", kTableVersion5_1);
    EXPECT_EQ(Core().getTable(atom, kTableVersion5_1), nullptr);
    EXPECT_NE(Core().getTable(atom, kTableVersion5_0), nullptr);
    qmhost::tables().withhold("Win");
    EXPECT_EQ(Core().getTable(atom, kTableVersion5_0), nullptr);
    qmhost::tables().clearWithheld();
    EXPECT_NE(Core().getTable(atom, kTableVersion5_1), nullptr);
}

TEST(CoreTable, RaiseSetsCurrentErrorAndItsText) {
    try {
        Core().raise(kHostErrFileNotFound);
        FAIL() << "raise returned";
    } catch (const HostError& e) {
        EXPECT_EQ(e.code(), kHostErrFileNotFound);
    }
    EXPECT_EQ(Core().getErrorCode(), kHostErrFileNotFound);
    char text[64];
    qmhost::appSupportTable()->getErrorString(kHostErrFileNotFound, text, sizeof text);
    EXPECT_STREQ(text, "The file was not found.");
}

TEST(CoreTable, HostErrorCodesNeverLookLikeThePluginsOwnCodes) {
    const int16_t inHouse[] = {1, -1, -2, -3, -42, -108, -128, 8000, 8002, 8006, 8014, 23400, 23401, 0};
    for (int32_t code = kHostErrGeneric; code <= kHostErrUnsupported; ++code) {
        const int16_t low = static_cast<int16_t>(code & 0xFFFF);
        for (int16_t own : inHouse) EXPECT_NE(low, own) << std::hex << code;
    }
}

int gCalls = 0;
void CountingProc() { ++gCalls; }

TEST(CoreTable, CallbacksAreForgottenWithTheirExtension) {
    ExtensionID ext = reinterpret_cast<ExtensionID>(uintptr_t(0xE1));
    ASCallback cb = Core().makeCallback(ext, &CountingProc);
    auto proc = qmhost::callbacks().as<void (*)()>(cb);
    ASSERT_EQ(proc, &CountingProc);
    proc();
    EXPECT_EQ(gCalls, 1);
    qmhost::callbacks().forgetExtension(ext);
    EXPECT_EQ(qmhost::callbacks().procedure(cb), nullptr);
    EXPECT_THROW(Core().makeCallback(ext, nullptr), HostError);
}

}  // namespace
