// A row of the tests that fail each call of a run in turn: one table member,
// how to count its calls during a clean run and how to fail one of them.
#pragma once

#include <cstdint>
#include <vector>

#include "common/FaultInjectingHost.h"

namespace qmtest {

struct MemberFaultRow {
    const char* member;  // names the row in failure messages
    void (*count)(FaultInjectingHost&);
    int64_t (*calls)(const FaultInjectingHost&);
    void (*fail)(FaultInjectingHost&, int64_t n);
};

template <auto Member>
MemberFaultRow FaultRowOf(const char* member) {
    return {member, [](FaultInjectingHost& host) { host.Count<Member>(); },
            [](const FaultInjectingHost& host) { return host.Calls<Member>(); },
            [](FaultInjectingHost& host, int64_t n) { host.FailCall<Member>(n); }};
}

// Members that a stamp run on an open document calls for a text stamp and a
// stamp of another PDF's page (defined in MemberFaultRow.cpp).
const std::vector<MemberFaultRow>& StampingRoadFaultRows();

// Which of a clean run's calls to fail: each of the first few, and the last
// (the calls in between take the same paths).
inline std::vector<int64_t> CallsToFail(int64_t calls, int64_t everyUpTo = 4) {
    std::vector<int64_t> chosen;
    for (int64_t n = 1; n <= calls; ++n)
        if (n <= everyUpTo || n == calls) chosen.push_back(n);
    return chosen;
}

}  // namespace qmtest
