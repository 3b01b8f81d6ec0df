#include "common/MemberFaultRow.h"

#include <gtest/gtest.h>

namespace qmtest {

const std::vector<MemberFaultRow>& StampingRoadFaultRows() {
    static const std::vector<MemberFaultRow> rows = {
        FaultRowOf<&PDModelTable::docOpen>("PDModel docOpen (the stamp's source document)"),
        FaultRowOf<&PDModelTable::docAcquirePage>("PDModel docAcquirePage"),
        FaultRowOf<&PDFEditWriteTable::fontEncodeText>("PDFEditWrite fontEncodeText"),
        FaultRowOf<&CosTable::objCopy>("Cos objCopy (the source page into the document)"),
        FaultRowOf<&CosTable::newStream>("Cos newStream (a content piece)"),
        FaultRowOf<&CosTable::dictPut>("Cos dictPut"),
        FaultRowOf<&PDModelTable::pageAddResource>("PDModel pageAddResource"),
        FaultRowOf<&PDModelTable::pageNotifyContentsDidChange>("PDModel pageNotifyContentsDidChange"),
    };
    return rows;
}

void FailEachCall(const MemberFaultRow& row, const FailedCallRoad& road) {
    int64_t calls = 0;
    {
        if (road.prepare) road.prepare();
        FaultInjectingHost host;
        row.count(host);
        const int status = road.run();
        calls = row.calls(host);
        if (road.finish) road.finish();
        if (status != 0) {
            ADD_FAILURE() << row.member << ": the clean run failed (" << status << ")";
            return;
        }
    }
    if (calls < 1) {
        ADD_FAILURE() << row.member << ": the road never calls it";
        return;
    }
    for (int64_t n : CallsToFail(calls)) {
        const std::string what = std::string(row.member) + ", call " + std::to_string(n) + " of " +
                                 std::to_string(calls);
        if (road.prepare) road.prepare();
        int status = -1;
        {
            FaultInjectingHost host;
            row.fail(host, n);
            status = road.run();
        }
        road.check(what, status);
        if (road.finish) road.finish();
    }
}

}  // namespace qmtest
