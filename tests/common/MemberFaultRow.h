// A row of the tests that fail each call of a run in turn: one table member,
// how to count its calls during a clean run and how to fail one of them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
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

// A row whose failed call answers value instead of raising (a member that
// reports by its answer, such as a cancel asked of the host).
template <auto Member, auto Value>
MemberFaultRow FaultRowAnswering(const char* member) {
    return {member, [](FaultInjectingHost& host) { host.Count<Member>(); },
            [](const FaultInjectingHost& host) { return host.Calls<Member>(); },
            [](FaultInjectingHost& host, int64_t n) { host.FailCallAnswering<Member>(n, Value); }};
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

// A road to fail call by call: what runs it and what is checked afterwards.
struct FailedCallRoad {
    std::function<void()> prepare;  // before the host wraps the tables (may be empty)
    std::function<int()> run;       // the run under the host; its status, 0 for success
    // After each run with a failed call: what names the member and the call.
    std::function<void(const std::string& what, int status)> check;
    std::function<void()> finish;  // after every run, clean or not (may be empty)
};

// Counts the row's member over one clean run of the road, which must succeed
// and call it, then runs the road once for each of CallsToFail(calls) with
// that call failed, and checks each.
void FailEachCall(const MemberFaultRow& row, const FailedCallRoad& road);

}  // namespace qmtest
