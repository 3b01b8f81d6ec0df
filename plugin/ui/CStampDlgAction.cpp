// The design dialog's link action: read from and written to the stamp's
// action document, made and edited in a working document (the active one, or
// a temporary one with a window) through the go-to dialogs or the host's
// handler of the chosen type.
#include <QComboBox>

#include "engine/CPDFDocument.h"
#include "engine/EngineHostFrame.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "stamper/ActionBookmark.h"
#include "stamper/CCabinet.h"
#include "stamper/CStamp.h"
#include "stamper/HostServices.h"
#include "stamper/StampKeys.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/TableMembers.h"
#include "ui/CActionGoToDlg.h"
#include "ui/CActionGoToRemoteDlg.h"
#include "ui/CStampDlg.h"
#include "ui/UiText.h"

namespace {

ASAtom Atom(const QString& inName) { return gCoreHFT->atomFromString(inName.toUtf8().constData()); }

bool IsValid(PDAction inAction) {
    if (gCosHFT->objGetType(inAction.cos) == CosNull) return false;
    bool valid = false;
    engine::HostFrame([&] { valid = gPDModelHFT->actionIsValid(inAction); });
    return valid;
}

QString SubtypeOf(PDAction inAction) {
    QString name;
    engine::HostFrame([&] { name = QString::fromUtf8(gCoreHFT->atomGetString(gPDModelHFT->actionGetSubtype(inAction))); });
    return name;
}

const AVActionHandlerProcs* HandlerOf(const QString& inType) {
    if (!TableHasMember(gAppViewHFT, &AppViewTable::getActionHandlerByType)) return nullptr;
    return gAppViewHFT->getActionHandlerByType(Atom(inType));
}

}  // namespace

void CStampDlg::LoadAction() {
    CloseActionDocument();
    mActionDoc = new CPDFDocument;
    const PDDoc stored = CCabinet(mStamp.GetCab()).GetEmbeddedDocument(kKeyAction, mActionFile);
    if (!stored) {
        mActionDoc->CreateNew();
        return;
    }
    mActionDoc->Attach(stored, true);
    engine::HostFrame([&] {
        const PDAction action = FirstBookmarkAction(stored);
        if (!IsValid(action)) return;
        mAction = action;
        const int entry = mActionType->findData(SubtypeOf(action));
        if (entry > 0) mActionType->setCurrentIndex(entry);
    });
    mActionEntry = mActionType->currentIndex();
}

void CStampDlg::SaveAction() {
    const PDDoc doc = GetActionDocument();
    if (doc) CCabinet(mStamp.GetCab()).PutEmbeddedDocument(kKeyAction, doc);
}

int CStampDlg::ActionEntryIndex() const {
    if (!IsValid(mAction)) return 0;
    const int entry = mActionType->findData(SubtypeOf(mAction));
    return entry < 0 ? 0 : entry;
}

bool CStampDlg::EditAction(const QString& inType, PDAction inWorking, PDDoc inDoc, AVDoc inView) {
    if (inType == QLatin1String("GoTo") || inType == QLatin1String("GoToR")) {
        std::unique_ptr<CActionGoToDlg> dialog(inType == QLatin1String("GoTo") ? new CActionGoToDlg(this)
                                                                               : new CActionGoToRemoteDlg(this));
        dialog->SetAction(inWorking);
        dialog->SetDocument(inDoc);
        return dialog->exec() == QDialog::Accepted;
    }
    if (!inView) {
        RefuseWith(ui::kStrNeedActionDocument);
        return false;
    }
    const AVActionHandlerProcs* handler = HandlerOf(inType);
    if (!handler) return false;
    bool confirmed = false;
    engine::HostFrame([&] {
        if (handler->fill && inType != QLatin1String("Launch")) handler->fill(inWorking, inView);
        setEnabled(false);
        if (GetHostVersion() >= 6 && handler->propertiesEx)
            confirmed = handler->propertiesEx(inWorking, inView);
        else if (handler->properties)
            confirmed = handler->properties(inWorking, inView);
    });
    setEnabled(true);
    if (mActionType->isEnabled()) mActionType->setFocus();
    return confirmed;
}

void CStampDlg::SetupAction() {
    const PDDoc actionDoc = GetActionDocument();
    if (!actionDoc) return;
    const QString type = mActionType->currentData().toString();
    if (type.isEmpty()) {
        engine::HostFrame([&] {
            if (IsValid(mAction)) gPDModelHFT->actionDestroy(mAction);
            mAction = PDAction{{0, 0}};
            RemoveBookmarks(actionDoc);
        });
        mActionEntry = 0;
        return;
    }

    // The working document: the active one, else a temporary one in a window.
    AVDoc view = gAppViewHFT->getActiveDoc();
    PDDoc working = nullptr;
    engine::HostFrame([&] { working = view ? gAppViewHFT->avDocGetPDDoc(view) : nullptr; });
    CPDFDocument temporary;
    if (!working && temporary.CreateNew()) {
        temporary.OpenView();
        working = temporary.GetPDDoc();
        view = temporary.GetAVDoc();
    }
    if (!working) return;

    PDAction made{{0, 0}};
    engine::HostFrame([&] {
        const CosDoc workingCos = gPDModelHFT->docGetCosDoc(working);
        if (IsValid(mAction) && SubtypeOf(mAction) == type)
            made = PDAction{gCosHFT->objCopy(mAction.cos, workingCos)};
        else
            made = gPDModelHFT->actionNew(working, Atom(type));
    });
    // A cancelled (or failed) edit keeps the stamp's action as it was and puts
    // the combo back to the entry that shows it.
    const bool confirmed = IsValid(made) && EditAction(type, made, working, view);
    if (confirmed && IsValid(made)) {
        engine::HostFrame([&] {
            const PDAction kept{gCosHFT->objCopy(made.cos, gPDModelHFT->docGetCosDoc(actionDoc))};
            if (IsValid(mAction)) gPDModelHFT->actionDestroy(mAction);
            mAction = kept;
            SetActionBookmark(actionDoc, mAction);
        });
    }
    // The action made in the working document is left there unreferenced:
    // the host copies an object into a document once and hands out that copy
    // again, so destroying it would spoil the next edit; an unreferenced
    // object is never written.
    mActionType->setCurrentIndex(confirmed ? mActionType->currentIndex() : ActionEntryIndex());
    mActionEntry = mActionType->currentIndex();
}
