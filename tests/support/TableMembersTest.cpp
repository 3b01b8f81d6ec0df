// Whether a host's table offers a member: null tables, tables of older hosts
// that end before it, members left null, and a member at the very end.
#include <gtest/gtest.h>

#include <cstddef>

#include "qmhost/AppViewTable.h"
#include "qmhost/PDModelTable.h"
#include "support/TableMembers.h"

namespace {

void showFile(const char*) {}
void docInsertPagesNone(PDDoc, int32_t, PDDoc, int32_t, int32_t) {}

TEST(TableMembers, SizeAndNullDecide) {
    AppViewTable full{};
    full.size = sizeof(AppViewTable);
    full.showFile = showFile;
    AppViewTable shortByOne = full;
    shortByOne.size = static_cast<uint32_t>(offsetof(AppViewTable, showFile) + sizeof(full.showFile) - 1);
    AppViewTable unset = full;
    unset.showFile = nullptr;
    struct Row {
        const char* name;
        const AppViewTable* table;
        bool reaches;
        bool has;
    };
    for (const Row& row : {Row{"no table", nullptr, false, false}, Row{"full", &full, true, true},
                           Row{"one byte short", &shortByOne, false, false}, Row{"member unset", &unset, true, false}}) {
        EXPECT_EQ(TableReaches(row.table, &AppViewTable::showFile), row.reaches) << row.name;
        EXPECT_EQ(TableHasMember(row.table, &AppViewTable::showFile), row.has) << row.name;
        // The first member is within every table that has a size.
        EXPECT_EQ(TableReaches(row.table, &AppViewTable::alertNote), row.table != nullptr) << row.name;
    }
}

TEST(TableMembers, ReadsNothingPastTheStatedSize) {
    // A table of an older host as long as its size says, on the heap, so that
    // AddressSanitizer would see a read past its end.
    const size_t bytes = offsetof(PDModelTable, docInsertPages);
    char* storage = new char[bytes]();
    auto* table = reinterpret_cast<PDModelTable*>(storage);
    table->size = static_cast<uint32_t>(bytes);
    EXPECT_FALSE(TableHasMember(static_cast<const PDModelTable*>(table), &PDModelTable::docInsertPages));
    delete[] storage;
    PDModelTable full{};
    full.size = sizeof full;
    full.docInsertPages = docInsertPagesNone;
    EXPECT_TRUE(TableHasMember(static_cast<const PDModelTable*>(&full), &PDModelTable::docInsertPages));
}

}  // namespace
