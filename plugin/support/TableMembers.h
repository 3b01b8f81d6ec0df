// Whether a host's table offers a member: a table of an older host is shorter
// (its size says how long), and a member may be left null.
#pragma once

#include <cstddef>

// True when table is not null and its size reaches past member (which may be null).
template <class Table, class Member>
bool TableReaches(const Table* table, Member Table::* member) {
    if (!table) return false;
    static const Table kLayout{};
    const size_t end = static_cast<size_t>(reinterpret_cast<const char*>(&(kLayout.*member)) -
                                           reinterpret_cast<const char*>(&kLayout)) +
                       sizeof(Member);
    return table->size >= end;
}

// True when the table reaches member and member is set. Nothing beyond the size
// the table states is read.
template <class Table, class Member>
bool TableHasMember(const Table* table, Member Table::* member) {
    return TableReaches(table, member) && table->*member != nullptr;
}
