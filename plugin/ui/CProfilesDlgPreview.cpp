// The stamp manager's preview, its stamp-now run, closing, and the front-view
// notification.
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "engine/CPDFDocument.h"
#include "stamper/CCabinet.h"
#include "stamper/CProfileFile.h"
#include "stamper/CStamp.h"
#include "stamper/CStamperPreferences.h"
#include "stamper/PreviewRun.h"
#include "stamper/StampRunCounters.h"
#include "stamper/StampSubmenu.h"
#include "stamper/StampingRun.h"
#include "support/CallbackGuard.h"
#include "support/HostTables.h"
#include "support/io/UserCancel.h"
#include "ui/CMultiTree.h"
#include "ui/CPreviewViewWnd.h"
#include "ui/CProfilesDlg.h"
#include "ui/ProfilesDlgSupport.h"
#include "ui/UiText.h"

namespace {
constexpr int kPreviewMargin = 4;
}  // namespace

void CProfilesDlg::ScheduleRefresh() {
    // Selection changes come one item at a time (a rubber band sends many):
    // the preview is stamped once, when they are all in.
    if (mRefreshTimer) mRefreshTimer->start();
}

void CProfilesDlg::RefreshPreview(AVDoc inView) {
    // The Stamp submenu lists the profiles as the tree now has them.
    // When this fails, the menu lists anew before it is shown.
    if (CStampMenuItem* menu = CStampMenuItem::smStampMenuItem) TrapRun([menu] { menu->RebuildProfileItems(); });
    // A run is under way: its counters and the document belong to it.
    if (!mPreviewOn->isChecked() || mRunInProgress || !mPreviewDoc) return;
    int32_t page = std::max(1, mPageField->value());
    int32_t count = 1;
    const QSignalBlocker block(mPageField);
    const bool withDocument = TrapOr(false, [&] {
        const PDDoc doc = inView ? gAppViewHFT->avDocGetPDDoc(inView) : nullptr;
        count = doc ? gPDModelHFT->docGetNumPages(doc) : 0;
        if (!doc || count <= 0) return false;
        mPageField->setMaximum(count);
        page = std::min(page, count);
        mPageField->setValue(page);
        mPreviewDoc->DeleteAllPages();
        gPDModelHFT->docInsertPages(mPreviewDoc->GetPDDoc(), kPDInsertBeforeFirstPage, doc, page - 1, 1);
        return true;
    });
    if (!withDocument) {
        count = 1;
        page = 1;
        mPageField->setValue(1);
        mPreviewDoc->DeleteAllPages();
        mPreviewDoc->AppendBlankPage();
    }
    StampRunCounters& counters = GetStampRunCounters();
    counters.StartSingleDocument(mPreviewDoc->GetPDDoc(), count);
    counters.currentPage = page - 1;
    PreviewItems(withDocument, count, page);
    PlacePreview();
}

void CProfilesDlg::PreviewItems(bool inWithDocument, int32_t inPageCount, int32_t inPage) {
    const PDDoc preview = mPreviewDoc->GetPDDoc();
    const QList<QTreeWidgetItem*> selected = mTree->GetSelectedList();
    for (QTreeWidgetItem* item : selected) {
        if (item->parent() && selected.contains(item->parent())) continue;
        TrapFailure(
            [&] {
                if (CProfileFile* profile = ProfileOf(item)) {
                    ApplyProfileToPreview(*profile, preview, inWithDocument, inPageCount, inPage);
                } else if (CStamp* stamp = StampOf(item)) {
                    stamp->SetNoLog(true);
                    stamp->SetInteractive(false);
                    stamp->SetUsePageSelection(inWithDocument);
                    stamp->SetPageCount(inPageCount);
                    stamp->Build(preview);
                    if (stamp->IsBuilt() && stamp->IsPageInRange(inPage - 1))
                        stamp->ApplyToPage(preview, 0, inPage - 1);
                    stamp->DeleteBuiltObjects();
                }
            },
            [&] {
                // A stamp that cannot be shown leaves the others.
                if (CStamp* stamp = StampOf(item)) stamp->DeleteBuiltObjects();
            });
    }
}

void CProfilesDlg::PlacePreview() {
    if (!mPreviewOn->isChecked() || !mPreviewDoc || mPreviewDoc->GetPageCount() < 1) return;
    PreviewRect rect{0, 0, mPreviewFrame->width() - 2 * kPreviewMargin, mPreviewFrame->height() - 2 * kPreviewMargin};
    mPreviewScale = FitPageInRect(mPreviewDoc->GetPDDoc(), 0, rect);
    mPreview->setGeometry(rect.left + kPreviewMargin, rect.top + kPreviewMargin, rect.right, rect.bottom);
    mPreview->SetScale(mPreviewScale);
    mPreview->SetDocument(mPreviewDoc.get());
    mPreview->show();
    mPreview->Redraw();
}

bool CProfilesDlg::eventFilter(QObject* inObject, QEvent* inEvent) {
    if (inObject == mPreviewFrame && inEvent->type() == QEvent::Resize) PlacePreview();

    return QDialog::eventFilter(inObject, inEvent);
}

void CProfilesDlg::OnPreviewToggled(bool inOn) {
    if (inOn)
        RefreshPreview(ActiveView());
    else
        mPreview->hide();
    UpdateControls();
}

// --- stamp now and close

void CProfilesDlg::accept() {
    if (mRunInProgress || mDesignOpen) return;
    QTreeWidgetItem* item = GetSelectedItem();
    CProfileFile* profile = ProfileOf(item);
    if (!profile || mTree->GetSelectedCount() != 1) return;
    SaveProfile(item);
    if (!IsModeless()) {
        if (mBatchCab) {
            // The batch parameters become this profile, nothing left from before.
            CCabinet batch(mBatchCab);
            TrapRun([this] { gASExtraHFT->cabMakeEmpty(mBatchCab); });
            if (!batch.ReadFromFile(*profile)) {
                Message(ui::ResTextWith(kStrUnreadableProfile, QString::fromUtf8(profile->GetPath())));
                return;
            }
        }
        StorePreferences();
        QDialog::accept();
        return;
    }
    const AVDoc view = ActiveView();
    if (!view || !gAppViewHFT->avDocGetPDDoc(view)) return;
    StampNow();
}

void CProfilesDlg::StampNow() {
    CProfileFile* profile = ProfileOf(GetSelectedItem());
    mRunInProgress = true;
    UpdateControls();
    mCloseButton->setText(ui::ResText(kStrCancelButton));
    SetUserCancelled(false);
    const bool stamped = TrapOr(false, [profile] { return StampActiveDocument(*profile); });
    mCloseButton->setText(ui::ResText(kStrCloseButton));
    mRunInProgress = false;
    // After a failed run the buttons follow the selection again.
    UpdateControls();
    if (stamped) {
        close();
        return;
    }
    ScheduleRefresh();
}

void CProfilesDlg::StorePreferences() {
    if (CStamperPreferences* preferences = GetStamperPreferences()) {
        preferences->SetShowPreview(mPreviewOn->isChecked());
        preferences->SetPreviewPageNumber(mPageField->value());
    }
}

void CProfilesDlg::reject() {
    // During a run (or while a design dialog is open) closing only asks the
    // run to stop after its current page.
    if (mRunInProgress || mDesignOpen) {
        SetUserCancelled(true);
        return;
    }
    StorePreferences();
    if (IsModeless()) SaveAllProfiles(true);
    QDialog::reject();
}

// --- the front view

void CProfilesDlg::FrontDocChanged(AVDoc inView, void* inClientData) {
    // Nothing may be thrown into the host.
    TrapRun([&] {
        auto* dialog = static_cast<CProfilesDlg*>(inClientData);
        // A run started here changes the front view (a new document with
        // 'WTNF'); the preview must not take the run's counters meanwhile.
        if (!dialog || dialog->mRunInProgress) return;
        dialog->RefreshPreview(inView);
        dialog->UpdateControls();
    });
}

void CProfilesDlg::RegisterNotification() {
    if (!gCoreHFT || !gAppViewHFT) return;
    TrapFailure(
        [this] {
            mNotification = gCoreHFT->makeCallback(gExtensionID, reinterpret_cast<ASProc>(&FrontDocChanged));
            gAppViewHFT->registerNotification(kNotifyFrontDocChanged, gExtensionID, mNotification, this);
        },
        [this] { mNotification = nullptr; });
}

void CProfilesDlg::UnregisterNotification() {
    if (!mNotification || !gAppViewHFT) return;
    TrapRun([this] { gAppViewHFT->unregisterNotification(kNotifyFrontDocChanged, mNotification, this); });
    mNotification = nullptr;
}
