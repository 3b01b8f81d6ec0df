// The stamp manager's commands: new profile, new and edited stamps (through
// the design dialogs), delete, move, rename, cut, copy, paste, import, export,
// the item popup and the enabling of all of them.
#include <QCheckBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <cstring>

#include "stamper/CCabinet.h"
#include "stamper/CImageStamp.h"
#include "stamper/CPDFPageStamp.h"
#include "stamper/CProfileFile.h"
#include "stamper/CStampClipboard.h"
#include "stamper/CTextStamp.h"
#include "stamper/HostServices.h"
#include "stamper/StampKeys.h"
#include "stamper/StampKinds.h"
#include "stamper/StampingRun.h"
#include "support/CallbackGuard.h"
#include "support/HostHandle.h"
#include "support/HostTables.h"
#include "support/io/FileSystemHelpers.h"
#include "ui/CMultiTree.h"
#include "ui/CProfilesDlg.h"
#include "ui/CSelectFileDialog.h"
#include "ui/ModalSeam.h"
#include "ui/ProfilesDlgSupport.h"
#include "ui/StampDesigner.h"
#include "ui/UiText.h"

namespace {

constexpr int kMaxNameLength = 255;
const char kCopyPrefix[] = "Copy of ";
const char kImportPrefix[] = "Import of ";

std::unique_ptr<CStamp> MakeNewStamp(int inKind) {
    if (inKind == 1) return std::make_unique<CImageStamp>();
    if (inKind == 2) return std::make_unique<CPDFPageStamp>();
    return std::make_unique<CTextStamp>();
}

// A name that can be a profile's file name and a stamp's name: not empty, at
// most 255 characters, and nothing that would lead out of the Profiles folder.
bool IsAcceptableName(const QString& inName) {
    return !inName.isEmpty() && inName.size() <= kMaxNameLength && IsSafeProfileName(inName.toUtf8().toStdString());
}

}  // namespace

QTreeWidgetItem* CProfilesDlg::GetSelectedItem() const {
    QTreeWidgetItem* caret = mTree->currentItem();
    if (caret && mTree->IsSelected(caret)) return caret;
    return mTree->GetFirstSelectedItem();
}

void CProfilesDlg::Message(const QString& inText, bool inWarning) {
    ui::GetModalSeam().MessageBox(this, ui::ResText(kStrMessageCaption), inText,
                                  inWarning ? QMessageBox::Warning : QMessageBox::Information, QMessageBox::Ok);
}

void CProfilesDlg::RunCommand(int inCommand) {
    if (mDesignOpen || mRunInProgress) return;
    switch (inCommand) {
        case kCmdNewText:
        case kCmdNewImage:
        case kCmdNewPDF:
            NewStamp(inCommand - kCmdNewText);
            break;
        case kCmdRenameProfile:
        case kCmdRenameStamp:
            StartRename();
            break;
        case kCmdDeleteProfile:
        case kCmdDeleteStamp:
            OnDelete(true);
            break;
        case kCmdExportProfile:
            OnExport();
            break;
        case kCmdCutProfile:
        case kCmdCutStamp:
            Cut();
            break;
        case kCmdCopyProfile:
        case kCmdCopyStamp:
            Copy();
            break;
        case kCmdPasteProfile:
        case kCmdPasteStamp:
            Paste();
            break;
        case kCmdEditStamp:
            EditStamp();
            break;
        default:
            break;
    }
}

void CProfilesDlg::UpdateControls() {
    const bool busy = mDesignOpen || mRunInProgress;
    for (QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) control->setEnabled(!busy);
    for (QWidget* control : findChildren<QPushButton*>()) control->setEnabled(!busy);
    mTree->setEnabled(!busy);
    mPreviewOn->setEnabled(!busy);
    mPageField->setEnabled(!busy);
    // During a run the close button is the cancel button.
    if (mRunInProgress) mCloseButton->setEnabled(true);
    if (busy) return;

    const int count = mTree->GetSelectedCount();
    const bool single = count == 1;
    QTreeWidgetItem* item = GetSelectedItem();
    const bool stamp = single && item && item->parent();
    const bool canStamp = CanStampActiveDocument();
    auto enable = [this](const char* id, bool on) {
        if (QWidget* control = findChild<QWidget*>(QString::fromLatin1(id))) control->setEnabled(on);
    };
    enable("1004", single && stamp);
    enable("1005", count >= 1);
    enable("1003", single);
    enable("1006", single && stamp);
    enable("1007", single && stamp);
    enable("1009", single && !stamp);
    mStampButton->setEnabled(single && !stamp && (!IsModeless() || canStamp));
    mPageField->setEnabled(canStamp);

    bool stampSelected = false, profileSelected = false;
    for (QTreeWidgetItem* selected : mTree->GetSelectedList())
        (selected->parent() ? stampSelected : profileSelected) = true;
    const CStampClipboard::State clip = gStampClipboard ? gStampClipboard->GetState() : CStampClipboard::kEmpty;
    const std::pair<int, bool> rules[] = {
        {kCmdNewText, single && !stamp},
        {kCmdNewImage, single && !stamp},
        {kCmdNewPDF, single && !stamp},
        {kCmdRenameProfile, single && !stamp},
        {kCmdDeleteProfile, count >= 1},
        {kCmdExportProfile, single && !stamp},
        {kCmdCutProfile, single && !stamp},
        {kCmdCopyProfile, single && !stamp},
        {kCmdPasteProfile, clip != CStampClipboard::kEmpty},
        {kCmdEditStamp, single && stamp},
        {kCmdRenameStamp, single && stamp},
        {kCmdDeleteStamp, count >= 1},
        {kCmdCutStamp, stampSelected && !profileSelected},
        {kCmdCopyStamp, stampSelected && !profileSelected},
        {kCmdPasteStamp, clip == CStampClipboard::kStamps},
    };
    for (QMenu* menu : {mNewStampMenu, mProfileMenu, mStampMenu})
        for (QAction* action : menu->actions())
            for (const auto& [command, on] : rules)
                if (action->objectName() == QString::number(command)) action->setEnabled(on);
}

// --- profiles

void CProfilesDlg::OnNewProfile() {
    if (mDesignOpen || mRunInProgress) return;
    const QString base = ui::ResText(kStrNewProfileName);
    QString name = base;
    TFileSpecifier path;
    // A name is free when no profile in the tree has it and no file of it
    // exists: a file the tree does not show is never written over.
    for (int n = 1;; ++n) {
        if (!CProfileFile::MakeProfilePath(name.toUtf8().constData(), path)) return;
        if (!ProfileNameTaken(name) && !FileSpecExists(path)) break;
        name = base + QString::number(n);
    }
    auto* root = new CMultiTreeItem(name);
    root->setIcon(0, ProfileIcon());
    root->setFlags(root->flags() | Qt::ItemIsEditable);
    root->SetObject(std::make_unique<CProfileFile>(path.GetPath()));
    mTree->addTopLevelItem(root);
    if (!SaveProfile(root)) {
        Message(ui::ResTextWith(kStrSaveFailed, QString::fromUtf8(path.GetPath())));
        mTree->DeleteItem(root);
    } else {
        mTree->SelectItem(root);
    }
    UpdateControls();
    mTree->setFocus();
}

void CProfilesDlg::OnImport() {
    if (mDesignOpen || mRunInProgress) return;
    CSelectFileDialog dialog(true, ui::ResText(kStrImportTitle), ui::ResText(kStrOpenProfile), "nxp", QString(),
                             ui::ResText(kStrProfileFilter), this);
    if (!dialog.DoModal()) return;
    const QString chosen = dialog.GetPathName();
    const TFileSpecifier source(chosen.toUtf8().constData());
    // Only a profile is copied in: a file that does not read as one is refused
    // before anything is written.
    CCabinet probe;
    const bool isProfile = TrapOr(false, [&] {
        return probe.ReadFromFile(source) && gASExtraHFT->cabKnown(probe.GetCab(), kKeyNumberOfStamps);
    });
    if (!isProfile) {
        Message(ui::ResTextWith(kStrNotAProfile, chosen));
        return;
    }
    QString leaf = chosen.section('/', -1);
    if (leaf.endsWith(kProfileFileExtension, Qt::CaseInsensitive)) leaf.chop(int(strlen(kProfileFileExtension)));
    const QString name = FreeProfileName(leaf, kImportPrefix);
    TFileSpecifier dest;
    if (name.isEmpty() || !CProfileFile::MakeProfilePath(name.toUtf8().constData(), dest)) {
        Message(ui::ResText(kStrBadName));
        return;
    }
    auto profile = std::make_unique<CProfileFile>(dest.GetPath());
    if (CopyFileSpec(source, *profile) != 0) {
        Message(ui::ResTextWith(kStrSaveFailed, QString::fromUtf8(profile->GetPath())));
        return;
    }
    LoadProfile(std::move(profile));
    UpdateControls();
    mTree->setFocus();
}

void CProfilesDlg::OnExport() {
    if (mDesignOpen || mRunInProgress) return;
    QTreeWidgetItem* item = GetSelectedItem();
    CProfileFile* profile = ProfileOf(item);
    if (!profile) return;
    SaveProfile(item);
    CSelectFileDialog dialog(false, ui::ResText(kStrExportTitle), ui::ResText(kStrOpenProfile), "nxp", QString(),
                             ui::ResText(kStrProfileFilter), this);
    if (!dialog.DoModal()) return;
    const TFileSpecifier target(dialog.GetPathName().toUtf8().constData());
    // The copy goes through a temporary file, so even the profile's own file
    // as the target keeps its content.
    if (CopyFileSpec(*profile, target) != 0) Message(ui::ResTextWith(kStrExportFailed, dialog.GetPathName()));
    UpdateControls();
    mTree->setFocus();
}

QString CProfilesDlg::FreeProfileName(const QString& inName, const QString& inPrefix) const {
    // Taken: shown in the tree (letter case aside) or a file of that name exists,
    // which may be one the tree does not show; that file is never written over.
    auto taken = [this](const QString& name) {
        TFileSpecifier path;
        return !CProfileFile::MakeProfilePath(name.toUtf8().constData(), path) || ProfileNameTaken(name) ||
               FileSpecExists(path);
    };
    if (!taken(inName)) return inName;
    const QString base = inPrefix + inName;
    QString name = base;
    for (int n = 1; taken(name); ++n) {
        if (n > 10000 || !IsAcceptableName(name)) return QString();
        name = base + QString::number(n);
    }
    return name;
}

// --- stamps through the design dialogs

void CProfilesDlg::OnAddStamp() {
    if (mDesignOpen || mRunInProgress || !GetSelectedItem()) return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("AddStampMenu"));
    for (int kind = 0; kind < 3; ++kind) {
        QAction* action = menu->addAction(ui::ResText(kStrMenuText + static_cast<uint32_t>(kind)));
        action->setObjectName(QString::number(kCmdNewText + kind));
        connect(action, &QAction::triggered, this, [this, kind] { RunCommand(kCmdNewText + kind); });
    }
    QWidget* button = findChild<QWidget*>(QStringLiteral("1003"));
    menu->popup(button->mapToGlobal(button->rect().bottomLeft()));
}

void CProfilesDlg::NewStamp(int inKind) {
    QTreeWidgetItem* item = GetSelectedItem();
    if (mDesignOpen || !item) return;
    bool made = true;
    std::unique_ptr<CStamp> stamp = TrapFailure([&] { return MakeNewStamp(inKind); },
                                                [&] {
                                                    made = false;
                                                    return std::unique_ptr<CStamp>();
                                                });
    if (!made) return;
    // The tree stays disabled while the dialog is open, so the profile and the
    // stamp after which the new one goes are the ones chosen now.
    mPendingProfile = ProfileItemOf(item);
    mPendingAfter = item->parent() ? item : nullptr;
    const int kind = inKind >= 0 && inKind <= 2 ? inKind : 0;
    stamp->SetName(FreeStampName(mPendingProfile, ui::ResText(kStrNewTextName + static_cast<uint32_t>(kind))).toUtf8().constData());
    mPendingStamp = std::move(stamp);
    OpenDesigner(*mPendingStamp, false);
}

void CProfilesDlg::EditStamp() {
    CStamp* stamp = StampOf(GetSelectedItem());
    if (mDesignOpen || !stamp) return;
    OpenDesigner(*stamp, true);
}

void CProfilesDlg::OpenDesigner(CStamp& ioStamp, bool inEditing) {
    mDesignOpen = true;
    UpdateControls();
    QPointer<CProfilesDlg> self(this);
    CStamp* stamp = &ioStamp;
    const bool opened = ui::OpenStampDesigner(this, ioStamp, inEditing, [self, stamp, inEditing](bool confirmed) {
        if (self) self->DesignClosed(stamp, confirmed, inEditing);
    });
    if (opened) return;
    mDesignOpen = false;
    mPendingStamp.reset();
    Message(ui::ResText(kStrDesignerUnavailable));
    UpdateControls();
}

void CProfilesDlg::DesignClosed(CStamp* inStamp, bool inConfirmed, bool inEditing) {
    mDesignOpen = false;
    QTreeWidgetItem* profile = nullptr;
    if (!inEditing && inConfirmed && mPendingStamp.get() == inStamp && mPendingProfile) {
        const int index = mPendingAfter ? mPendingProfile->indexOfChild(mPendingAfter) + 1 : -1;
        profile = mPendingProfile;
        AddStampItem(profile, std::move(mPendingStamp), nullptr, index);
    } else if (inEditing && inConfirmed) {
        if (QTreeWidgetItem* item = FindStampItem(inStamp)) {
            const QSignalBlocker block(mTree);
            item->setText(0, QString::fromStdString(inStamp->GetName()));
            profile = item->parent();
        }
    }
    if (!inEditing) mPendingStamp.reset();
    mPendingProfile = mPendingAfter = nullptr;
    if (profile && !SaveProfile(profile))
        Message(ui::ResTextWith(kStrSaveFailed, QString::fromUtf8(ProfileOf(profile)->GetPath())));
    mTree->setFocus();
    UpdateControls();
    ScheduleRefresh();
}

// --- delete, move, rename

void CProfilesDlg::OnDelete(bool inAsk) {
    if (mDesignOpen || mRunInProgress) return;
    const QList<QTreeWidgetItem*> selected = mTree->GetSelectedList();
    if (selected.isEmpty()) return;
    if (inAsk) {
        const uint32_t question = selected.size() > 1          ? kStrAskDeleteMany
                                  : selected.first()->parent() ? kStrAskDeleteStamp
                                                               : kStrAskDeleteProfile;
        const QMessageBox::StandardButton answer =
            ui::GetModalSeam().MessageBox(this, ui::ResText(kStrMessageCaption), ui::ResText(question),
                                          QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::No) return;
    }
    DeleteSelected();
}

void CProfilesDlg::DeleteSelected() {
    mRenameItem = nullptr;
    QList<QTreeWidgetItem*> selected = mTree->GetSelectedList();
    // A stamp whose profile goes too goes with it, once.
    selected.removeIf([&](QTreeWidgetItem* item) { return item->parent() && selected.contains(item->parent()); });
    for (QTreeWidgetItem* item : selected) {
        if (CProfileFile* profile = ProfileOf(item)) profile->Delete();
        mTree->DeleteItem(item);
    }
    mTree->setFocus();
    SaveAllProfiles();
    ScheduleRefresh();
    UpdateControls();
}

void CProfilesDlg::OnMove(bool inUp) {
    if (mDesignOpen || mRunInProgress) return;
    QTreeWidgetItem* item = GetSelectedItem();
    if (!StampOf(item)) return;
    mTree->MoveItem(item, inUp);
    UpdateControls();
    mTree->setFocus();
}

void CProfilesDlg::StartRename() {
    QTreeWidgetItem* item = GetSelectedItem();
    if (!item) return;
    mRenameItem = item;
    mRenameOldText = item->text(0);
    mTree->setFocus();
    mTree->editItem(item, 0);
}

void CProfilesDlg::keyPressEvent(QKeyEvent* inEvent) {
    if (inEvent->key() == Qt::Key_Escape && mTree->CancelLabelEdit()) {
        mRenameItem = nullptr;
        mTree->setFocus();
        return;
    }
    QDialog::keyPressEvent(inEvent);
}

void CProfilesDlg::OnRenamed(QTreeWidgetItem* inItem) {
    if (!inItem || inItem != mRenameItem) return;
    mRenameItem = nullptr;
    const QString oldText = mRenameOldText;
    const QString newText = inItem->text(0);
    if (newText == oldText) return;
    auto refuse = [&](const QString& message) {
        const QSignalBlocker block(mTree);
        inItem->setText(0, oldText);
        Message(message);
    };
    if (!IsAcceptableName(newText)) {
        refuse(ui::ResText(kStrBadName));
    } else if (CStamp* stamp = StampOf(inItem)) {
        // Every name in the profile counts, the stamp's own too: a change of
        // letter case alone is refused as well.
        bool taken = oldText.compare(newText, Qt::CaseInsensitive) == 0;
        for (int i = 0; i < inItem->parent()->childCount(); ++i) {
            QTreeWidgetItem* sibling = inItem->parent()->child(i);
            if (sibling != inItem && sibling->text(0).compare(newText, Qt::CaseInsensitive) == 0) taken = true;
        }
        if (taken) {
            refuse(ui::ResText(kStrNameTaken));
        } else {
            stamp->SetName(newText.toUtf8().constData());
            SaveProfile(inItem->parent());
        }
    } else if (CProfileFile* profile = ProfileOf(inItem)) {
        bool taken = false;
        for (int i = 0; i < mTree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* other = mTree->topLevelItem(i);
            if (other != inItem && other->text(0).compare(newText, Qt::CaseInsensitive) == 0) taken = true;
        }
        if (taken)
            refuse(ui::ResText(kStrNameTaken));
        else if (!profile->Rename(newText.toUtf8().constData()))
            refuse(ui::ResTextWith(kStrRenameFailed, oldText));
    }
    UpdateControls();
}

// --- the stamp clipboard

bool CProfilesDlg::Copy() {
    QTreeWidgetItem* item = GetSelectedItem();
    if (!item || !gStampClipboard) return false;
    const bool copied = TrapOr(false, [&] {
        gStampClipboard->Clear();
        if (item->parent()) {
            for (QTreeWidgetItem* selected : mTree->GetSelectedList())
                if (CStamp* stamp = StampOf(selected)) gStampClipboard->AddStamp(stamp->GetCab());
        } else {
            CProfileFile* profile = ProfileOf(item);
            SaveProfile(item);
            CCabinet cab;
            if (!cab.ReadFromFile(*profile)) {
                Message(ui::ResTextWith(kStrUnreadableProfile, QString::fromUtf8(profile->GetPath())));
                return false;
            }
            cab.PutString(kClipboardProfilePathKey, profile->GetPath());
            gStampClipboard->SetProfile(cab.GetCab());
        }
        return true;
    });
    if (!copied) return false;
    UpdateControls();
    return true;
}

void CProfilesDlg::Cut() {
    if (Copy()) DeleteSelected();
}

void CProfilesDlg::Paste() {
    if (!gStampClipboard) return;
    // A host failure ends the paste; what was pasted stays.
    const bool goOn = TrapOr(true, [&] {
        if (const ASCab held = gStampClipboard->GetProfile()) {
            PasteProfile(held);
        } else if (const int32_t count = gStampClipboard->GetNumberOfStamps(); count > 0) {
            QTreeWidgetItem* item = GetSelectedItem();
            if (!item) return false;
            QTreeWidgetItem* target = ProfileItemOf(item);
            for (int32_t i = 0; i < count; ++i) {
                // The copy is destroyed unless the tree takes it.
                CHostCab own(gASExtraHFT->cabDup(gStampClipboard->GetStamp(i)));
                std::unique_ptr<CStamp> stamp = MakeStampForCabinet(own.Get());
                if (!stamp) continue;
                const QString name = FreeStampName(target, kCopyPrefix + QString::fromStdString(stamp->GetName()));
                stamp->SetName(name.toUtf8().constData());
                AddStampItem(target, std::move(stamp), own.Take());
            }
        }
        return true;
    });
    if (!goOn) return;
    SaveAllProfiles();
    ScheduleRefresh();
    UpdateControls();
}

void CProfilesDlg::PasteProfile(ASCab inHeld) {
    const char* path = gASExtraHFT->cabGetString(inHeld, kClipboardProfilePathKey);
    if (!path) return;
    // A cut deleted the file: the profile comes back under its own name.
    const QString name = FreeProfileName(QString::fromUtf8(CProfileFile(path).GetProfileName()), kCopyPrefix);
    TFileSpecifier dest;
    if (name.isEmpty() || !CProfileFile::MakeProfilePath(name.toUtf8().constData(), dest)) return;
    auto profile = std::make_unique<CProfileFile>(dest.GetPath());
    CCabinet copy;
    gASExtraHFT->cabCopy(inHeld, copy.GetCab());
    gASExtraHFT->cabRemove(copy.GetCab(), kClipboardProfilePathKey);
    if (!copy.WriteToFile(*profile)) {
        Message(ui::ResTextWith(kStrSaveFailed, QString::fromUtf8(profile->GetPath())));
        return;
    }
    LoadProfile(std::move(profile));
}

void CProfilesDlg::OnItemPopup() {
    QTreeWidgetItem* item = GetSelectedItem();
    if (!item || mDesignOpen || mRunInProgress) return;
    const QRect rect = mTree->visualItemRect(item);
    const int textRight =
        rect.left() + mTree->iconSize().width() + 6 + mTree->fontMetrics().horizontalAdvance(item->text(0));
    QMenu* menu = item->parent() ? mStampMenu : mProfileMenu;
    menu->popup(mTree->viewport()->mapToGlobal(QPoint(textRight, rect.top())));
}
