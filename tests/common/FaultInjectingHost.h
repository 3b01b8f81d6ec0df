// A host that fails on demand, for tests: it wraps the real tables. While it
// lives, a table that a test touches is replaced by a copy of the real one,
// both for the linked plug-in (its imported pointer) and for any plug-in set up
// later (the host's table registry offers the copy under every version it
// offers the real table). In the copy, chosen members are wrappers that count
// their calls and forward them to the real member, except the calls chosen to
// fail: those raise the host error (or answer a value) without reaching the
// real member. A table or a version can be withheld, and a table shortened as
// an older host's would be. Everything is put back when the host is destroyed.
//
// One fault-injecting host at a time; the wrapper of a member keeps its state
// in statics, reset when the host goes. A plug-in set up while it lives holds
// its copies: unload that plug-in before the host goes.
//
//   qmtest::FaultInjectingHost host;
//   host.FailCall<&PDModelTable::docCreate>(1, kHostErrNoMemory);
//   host.Count<&PDModelTable::pageGetBox>();
//   ... run ...
//   EXPECT_EQ(host.Calls<&PDModelTable::pageGetBox>(), 1);
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <stdexcept>
#include <memory>
#include <string>
#include <type_traits>
#include <typeindex>
#include <variant>
#include <vector>

#include "qmhost/HostError.h"
#include "support/HostTables.h"

namespace qmtest {

// The name under which the host offers a table, and the pointer through which
// the linked plug-in reaches it.
template <class Table>
struct HostTableSlot;

#define QM_HOST_TABLE_SLOT(Table, Name, Imported)                  \
    template <>                                                    \
    struct HostTableSlot<Table> {                                  \
        static constexpr const char* kName = Name;                 \
        static const Table*& imported() { return Imported; }       \
    }
QM_HOST_TABLE_SLOT(AppSupportTable, "AppSupport", gAppSupportHFT);
QM_HOST_TABLE_SLOT(CosTable, "Cos", gCosHFT);
QM_HOST_TABLE_SLOT(PDModelTable, "PDModel", gPDModelHFT);
QM_HOST_TABLE_SLOT(PDFEditWriteTable, "PDFEditWrite", gPDFEditWriteHFT);
QM_HOST_TABLE_SLOT(PDFEditReadTable, "PDFEditRead", gPDFEditReadHFT);
QM_HOST_TABLE_SLOT(PDSysFontTable, "PDSysFont", gPDSysFontHFT);
QM_HOST_TABLE_SLOT(PagePDEContentTable, "PagePDEContent", gPagePDEContentHFT);
QM_HOST_TABLE_SLOT(AppViewTable, "AppView", gAppViewHFT);
QM_HOST_TABLE_SLOT(WinTable, "Win", gWinHFT);
QM_HOST_TABLE_SLOT(ASExtraTable, "ASExtra", gASExtraHFT);
#undef QM_HOST_TABLE_SLOT

namespace faultdetail {

// Calls of one member since it was wrapped, and which of them fail.
struct MemberFaults {
    int64_t calls = 0;
    int64_t failFirst = 0;  // 0: no call fails
    int64_t failLast = 0;
    int32_t code = kHostErrGeneric;
    bool answersValue = false;  // a failing call answers the failure value instead of raising
};

template <auto Member, class Pointer = decltype(Member)>
struct Wrapper;

// The wrapper of Member, a function-pointer member of Table.
template <auto Member, class Table, class R, class... Args>
struct Wrapper<Member, R (*Table::*)(Args...)> {
    using TableType = Table;
    using Value = std::conditional_t<std::is_void_v<R>, std::monostate, R>;
    static inline const Table* sReal = nullptr;
    static inline MemberFaults sFaults;
    static inline Value sFailureValue{};

    static R call(Args... args) {
        const int64_t n = ++sFaults.calls;
        if (sFaults.failFirst != 0 && n >= sFaults.failFirst && n <= sFaults.failLast) {
            if constexpr (!std::is_void_v<R>) {
                if (sFaults.answersValue) return sFailureValue;
            }
            throw HostError(sFaults.code, "injected failure of call " + std::to_string(n));
        }
        return (sReal->*Member)(args...);
    }
    static void reset() {
        sReal = nullptr;
        sFaults = {};
        sFailureValue = {};
    }
};

// Where member lies in its table: the size a table must state to hold it.
template <class Table, class M>
uint32_t OffsetOf(M Table::* member) {
    static const Table kLayout{};
    return static_cast<uint32_t>(reinterpret_cast<const char*>(&(kLayout.*member)) -
                                 reinterpret_cast<const char*>(&kLayout));
}

}  // namespace faultdetail

class FaultInjectingHost {
public:
    FaultInjectingHost();
    ~FaultInjectingHost();
    FaultInjectingHost(const FaultInjectingHost&) = delete;
    FaultInjectingHost& operator=(const FaultInjectingHost&) = delete;

    // Calls first..last of Member (counted from 1 since it was wrapped) raise
    // HostError(code) instead of reaching the real member; the others forward.
    template <auto Member>
    FaultInjectingHost& FailCalls(int64_t first, int64_t last, int32_t code = kHostErrGeneric) {
        using W = faultdetail::Wrapper<Member>;
        Wrap<Member>();
        W::sFaults.failFirst = first;
        W::sFaults.failLast = last;
        W::sFaults.code = code;
        W::sFaults.answersValue = false;
        return *this;
    }
    template <auto Member>
    FaultInjectingHost& FailCall(int64_t n, int32_t code = kHostErrGeneric) {
        return FailCalls<Member>(n, n, code);
    }
    template <auto Member>
    FaultInjectingHost& FailEveryCall(int32_t code = kHostErrGeneric) {
        return FailCalls<Member>(1, INT64_MAX, code);
    }
    // Call n of Member answers value (for members that report failure by what
    // they answer, not by raising) without reaching the real member.
    template <auto Member, class V>
    FaultInjectingHost& FailCallAnswering(int64_t n, V value) {
        using W = faultdetail::Wrapper<Member>;
        FailCalls<Member>(n, n);
        W::sFaults.answersValue = true;
        W::sFailureValue = value;
        return *this;
    }
    // Wraps Member so that its calls are counted; every call forwards.
    template <auto Member>
    FaultInjectingHost& Count() {
        Wrap<Member>();
        return *this;
    }
    // Calls of Member since it was wrapped (0 when it is not).
    template <auto Member>
    int64_t Calls() const {
        return faultdetail::Wrapper<Member>::sFaults.calls;
    }
    // Puts function (a fake, which may forward to Real()) in Member's place.
    template <auto Member, class F>
    FaultInjectingHost& Replace(F function) {
        using Table = typename faultdetail::Wrapper<Member>::TableType;
        Copy<Table>().*Member = function;
        return *this;
    }

    // The table that the copy was made of.
    template <class Table>
    const Table& Real() {
        Copy<Table>();
        return *static_cast<const Table*>(mReals.at(std::type_index(typeid(Table))));
    }

    // Table is not offered to a plug-in's setup at any version, and the linked
    // plug-in sees none.
    template <class Table>
    FaultInjectingHost& Withhold() {
        using Slot = HostTableSlot<Table>;
        WithholdVersion(Slot::kName, 0);
        const Table*& imported = Slot::imported();
        const Table* saved = imported;
        imported = nullptr;
        mUndo.push_back([&imported, saved] { imported = saved; });
        return *this;
    }
    // The table name is not offered to a plug-in's setup at version (0: at any).
    // The linked plug-in, set up already, keeps what it imported.
    FaultInjectingHost& WithholdVersion(const std::string& name, uint32_t version);
    // Offers table under name and version to a plug-in's setup (one that the
    // host does not offer, or an older layout).
    FaultInjectingHost& Offer(const std::string& name, uint32_t version, const void* table);

    // The table ends just before Member, as an older host's shorter table: its
    // size is lowered and every member from there on is null in the copy.
    template <auto Member>
    FaultInjectingHost& ShortenBefore() {
        using Table = typename faultdetail::Wrapper<Member>::TableType;
        Table& copy = Copy<Table>();
        const uint32_t size = faultdetail::OffsetOf(Member);
        std::memset(reinterpret_cast<char*>(&copy) + size, 0, sizeof(Table) - size);
        copy.size = size;
        return *this;
    }

    // The copy that stands in for Table, made on first use.
    template <class Table>
    Table& Copy() {
        const std::type_index key(typeid(Table));
        if (auto it = mCopies.find(key); it != mCopies.end()) return *static_cast<Table*>(it->second.get());
        using Slot = HostTableSlot<Table>;
        const Table*& imported = Slot::imported();
        const Table* real = imported ? imported : static_cast<const Table*>(RegisteredTable(Slot::kName));
        auto copy = std::make_shared<Table>(*real);
        mCopies[key] = copy;
        mReals[key] = real;
        const Table* saved = imported;
        if (imported) imported = copy.get();
        mUndo.push_back([&imported, saved] { imported = saved; });
        SubstituteEverywhere(Slot::kName, copy.get());
        return *copy;
    }

private:
    template <auto Member>
    void Wrap() {
        using W = faultdetail::Wrapper<Member>;
        using Table = typename W::TableType;
        Table& copy = Copy<Table>();
        if (copy.*Member == &W::call) return;
        W::reset();
        W::sReal = &Real<Table>();
        if (!(W::sReal->*Member)) throw std::logic_error("the real table leaves the member null");
        copy.*Member = &W::call;
        mUndo.push_back([] { W::reset(); });
    }
    // The table the host offers under name at its newest version; raises when none.
    static const void* RegisteredTable(const char* name);
    // The copy is offered in place of name at every version the host offers it.
    void SubstituteEverywhere(const std::string& name, const void* copy);

    std::vector<std::function<void()>> mUndo;  // run last first
    std::map<std::type_index, std::shared_ptr<void>> mCopies;
    std::map<std::type_index, const void*> mReals;
};

}  // namespace qmtest
