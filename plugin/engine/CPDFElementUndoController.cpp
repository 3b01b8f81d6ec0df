#include "engine/CPDFElementUndoController.h"

#include <memory>
#include <new>

#include "support/ErrorCode.h"

CPDFElementUndoController* CPDFElementUndoController::smPDFElementUndoController = nullptr;

CPDFElementUndoController::CPDFElementUndoController() {
    if (!smPDFElementUndoController) smPDFElementUndoController = this;
}

CPDFElementUndoController::~CPDFElementUndoController() {
    if (smPDFElementUndoController == this) smPDFElementUndoController = nullptr;
}

CAVDocUndoManager* CPDFElementUndoController::CreateManager(AVDoc inAVDoc) {
    try {
        return new (std::nothrow) CPDFElementUndoManager(inAVDoc);
    } catch (ErrorCode) {
        return nullptr;  // the stack could not be made
    }
}

CPDFElementUndoController* CPDFElementUndoController::GetUndoController() {
    return smPDFElementUndoController;
}

CPDFElementUndoManager* CPDFElementUndoController::ManagerOf(AVDoc inAVDoc) {
    if (!smPDFElementUndoController) return nullptr;
    return static_cast<CPDFElementUndoManager*>(smPDFElementUndoController->FindManager(inAVDoc));
}

void CPDFElementUndoController::RecordElementAdded(AVDoc inAVDoc, int32_t inPageIndex, int32_t inKind,
                                                   CosObj inObject, const char* inResourceName,
                                                   const char* inName) {
    if (!smPDFElementUndoController) return;
    auto* record = new (std::nothrow)
        CPDFElementUndoAdd(inAVDoc, inPageIndex, inKind, inObject, inResourceName, inName);
    if (!record) ThrowErrorCode(kErrCosObject);
    AddElementUndoRecord(inAVDoc, record);
}

void CPDFElementUndoController::AddElementUndoRecord(AVDoc inAVDoc, CUndoManagerData* inRecord) {
    if (!smPDFElementUndoController) {
        delete inRecord;
        return;
    }
    // Deletes the record when the view has no manager.
    smPDFElementUndoController->PushRecord(inAVDoc, inRecord);
}

bool CPDFElementUndoController::PopElementUndoRecord(AVDoc inAVDoc, CUndoManagerData*& outRecord) {
    CPDFElementUndoManager* manager = ManagerOf(inAVDoc);
    return manager ? manager->Pop(outRecord) : false;
}

bool CPDFElementUndoController::PeekElementUndoRecord(AVDoc inAVDoc, CUndoManagerData*& outRecord) {
    CPDFElementUndoManager* manager = ManagerOf(inAVDoc);
    return manager ? manager->Peek(outRecord) : false;
}

bool CPDFElementUndoController::CanUndoElements(AVDoc inAVDoc) {
    CPDFElementUndoManager* manager = ManagerOf(inAVDoc);
    return manager ? manager->CanUndo() : false;
}

int32_t CPDFElementUndoController::CountElementUndoRecords(AVDoc inAVDoc) {
    CPDFElementUndoManager* manager = ManagerOf(inAVDoc);
    return manager ? manager->GetCount() : 0;
}

void CPDFElementUndoController::ClearElementUndo(AVDoc inAVDoc) {
    if (CPDFElementUndoManager* manager = ManagerOf(inAVDoc)) manager->Clear();
}

void CPDFElementUndoController::ClearAllElementUndo() {
    if (!smPDFElementUndoController) return;
    const int32_t count = smPDFElementUndoController->GetManagerCount();
    for (int32_t i = 0; i < count; ++i)
        if (CAVDocUndoManager* manager = smPDFElementUndoController->GetManagerAt(i)) manager->Clear();
}

bool CPDFElementUndoController::UndoLastElement(AVDoc inAVDoc) {
    CPDFElementUndoManager* manager = ManagerOf(inAVDoc);
    return manager ? manager->UndoLast() : false;
}

bool CPDFElementUndoController::UndoAllElements(AVDoc inAVDoc, ASProgressMonitor inMonitor,
                                                void* inMonitorData) {
    CPDFElementUndoManager* manager = ManagerOf(inAVDoc);
    if (!manager) return true;
    const int32_t total = manager->GetCount();
    if (inMonitor) {
        inMonitor->beginOperation(inMonitorData);
        inMonitor->setDuration(total, inMonitorData);
        inMonitor->setCurrValue(0, inMonitorData);
    }
    bool allSucceeded = true;
    int32_t done = 0;
    try {
        CUndoManagerData* popped = nullptr;
        while (manager->Pop(popped)) {
            std::unique_ptr<CUndoManagerData> record(popped);  // deleted after use
            auto* element = dynamic_cast<CPDFElementUndoData*>(record.get());
            allSucceeded = (element && element->Undo()) && allSucceeded;
            ++done;
            if (inMonitor) inMonitor->setCurrValue(done, inMonitorData);
        }
    } catch (ErrorCode) {
        // A raised failure ends the loop; it is a failure all the same.
        allSucceeded = false;
    }
    if (inMonitor) inMonitor->endOperation(inMonitorData);
    manager->Clear();
    return allSucceeded;
}
