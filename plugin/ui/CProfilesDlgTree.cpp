// The stamp manager's tree: filled from the Profiles folder, written back to
// it, and the name rules of profiles and stamps.
#include <QStringList>

#include "stamper/CCabinet.h"
#include "stamper/CProfileFile.h"
#include "stamper/CStamp.h"
#include "stamper/HostServices.h"
#include "stamper/StampKeys.h"
#include "stamper/StampKinds.h"
#include "stamper/StampSubmenu.h"
#include "support/CallbackGuard.h"
#include "support/HostTables.h"
#include "ui/CMultiTree.h"
#include "ui/CProfilesDlg.h"
#include "ui/ProfilesDlgSupport.h"
#include "ui/UiText.h"

TreeStamp::TreeStamp(std::unique_ptr<CStamp> inStamp, ASCab inOwnedCab)
    : stamp(std::move(inStamp)), ownedCab(inOwnedCab) {}

TreeStamp::~TreeStamp() {
    stamp.reset();
    // A host that refuses dropped it with its own state; nothing is left to free.
    ownedCab.Reset();
}

CProfileFile* ProfileOf(QTreeWidgetItem* inItem) {
    if (!inItem || inItem->parent()) return nullptr;
    return static_cast<CMultiTreeItem*>(inItem)->GetObjectAs<CProfileFile>();
}

CStamp* StampOf(QTreeWidgetItem* inItem) {
    if (!inItem || !inItem->parent()) return nullptr;
    TreeStamp* held = static_cast<CMultiTreeItem*>(inItem)->GetObjectAs<TreeStamp>();
    return held ? held->stamp.get() : nullptr;
}

AVDoc ActiveView() { return gAppViewHFT ? gAppViewHFT->getActiveDoc() : nullptr; }

void CProfilesDlg::FillTree() {
    mTree->DeleteAllItems();
    QStringList unreadable;
    for (const std::string& path : ListProfileFiles(GetProfilesFolderPath())) {
        if (!LoadProfile(std::make_unique<CProfileFile>(path.c_str()))) unreadable << QString::fromStdString(path);
    }
    mTree->collapseAll();
    mTree->ClearAll();
    // One profile that cannot be read keeps none of the others from loading;
    // it stays out of the tree, so nothing here ever writes over it.
    for (const QString& path : unreadable) Message(ui::ResTextWith(kStrUnreadableProfile, path));
}

QTreeWidgetItem* CProfilesDlg::LoadProfile(std::unique_ptr<CProfileFile> inProfile) {
    CCabinet cab;
    if (!cab.ReadFromFile(*inProfile)) return nullptr;
    auto* root = new CMultiTreeItem(QString::fromUtf8(inProfile->GetProfileName()));
    root->setIcon(0, ProfileIcon());
    root->setFlags(root->flags() | Qt::ItemIsEditable);
    root->SetObject(std::move(inProfile));
    mTree->addTopLevelItem(root);
    const bool loaded = TrapRun([&] {
        const int32_t count = gASExtraHFT->cabGetInt(cab.GetCab(), kKeyNumberOfStamps, 0);
        for (int32_t i = 0; i < count; ++i) {
            const ASCab stampCab = gASExtraHFT->cabGetCab(cab.GetCab(), StampCabinetKey(i).c_str());
            if (!stampCab) continue;
            // The copy is destroyed unless the tree takes it.
            CHostCab own(gASExtraHFT->cabDup(stampCab));
            std::unique_ptr<CStamp> stamp = MakeStampForCabinet(own.Get());
            if (!stamp) continue;
            AddStampItem(root, std::move(stamp), own.Take());
        }
    });
    if (!loaded) {
        mTree->DeleteItem(root);
        return nullptr;
    }
    mTree->SelectItem(root);
    return root;
}

QTreeWidgetItem* CProfilesDlg::AddStampItem(QTreeWidgetItem* inProfile, std::unique_ptr<CStamp> inStamp,
                                            ASCab inOwnedCab, int inIndex) {
    auto* item = new CMultiTreeItem(QString::fromStdString(inStamp->GetName()));
    item->setIcon(0, StampIcon(inStamp->GetType()));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    item->SetObject(std::make_unique<TreeStamp>(std::move(inStamp), inOwnedCab));
    if (inIndex < 0 || inIndex > inProfile->childCount())
        inProfile->addChild(item);
    else
        inProfile->insertChild(inIndex, item);
    mTree->SelectItem(item);
    return item;
}

bool CProfilesDlg::SaveProfile(QTreeWidgetItem* inItem) {
    CProfileFile* profile = ProfileOf(inItem);
    if (!profile) return true;
    return TrapOr(false, [&] {
        CCabinet cab;
        gASExtraHFT->cabPutInt(cab.GetCab(), kKeyNumberOfStamps, inItem->childCount());
        for (int i = 0; i < inItem->childCount(); ++i) {
            CStamp* stamp = StampOf(inItem->child(i));
            gASExtraHFT->cabPutCab(cab.GetCab(), StampCabinetKey(i).c_str(), gASExtraHFT->cabDup(stamp->GetCab()));
        }
        return cab.WriteToFile(*profile);
    });
}

void CProfilesDlg::SaveAllProfiles(bool inQuiet) {
    for (int i = 0; i < mTree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = mTree->topLevelItem(i);
        if (!SaveProfile(item) && !inQuiet)
            Message(ui::ResTextWith(kStrSaveFailed, QString::fromUtf8(ProfileOf(item)->GetPath())));
    }
}

QTreeWidgetItem* CProfilesDlg::ProfileItemOf(QTreeWidgetItem* inItem) const {
    return inItem && inItem->parent() ? inItem->parent() : inItem;
}

bool CProfilesDlg::ProfileNameTaken(const QString& inName) const {
    for (int i = 0; i < mTree->topLevelItemCount(); ++i)
        if (mTree->topLevelItem(i)->text(0).compare(inName, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool CProfilesDlg::StampNameTaken(QTreeWidgetItem* inProfile, const QString& inName) const {
    for (int i = 0; inProfile && i < inProfile->childCount(); ++i)
        if (inProfile->child(i)->text(0).compare(inName, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString CProfilesDlg::FreeStampName(QTreeWidgetItem* inProfile, const QString& inBase) const {
    QString name = inBase;
    for (int n = 1; StampNameTaken(inProfile, name); ++n) name = inBase + QString::number(n);
    return name;
}

QTreeWidgetItem* CProfilesDlg::FindStampItem(const CStamp* inStamp) const {
    for (int i = 0; i < mTree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* profile = mTree->topLevelItem(i);
        for (int j = 0; j < profile->childCount(); ++j)
            if (StampOf(profile->child(j)) == inStamp) return profile->child(j);
    }
    return nullptr;
}
