#include "common/MemberFaultRow.h"

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

}  // namespace qmtest
