#include "ManagerFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "common/PluginFixture.h"
#include "stamper/CCabinet.h"
#include "stamper/CStamperPreferences.h"
#include "stamper/HostServices.h"
#include "stamper/StampKeys.h"
#include "stamper/StampKinds.h"
#include "stamper/StampRunCounters.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "support/io/ModulePaths.h"
#include "support/io/UserCancel.h"
#include "ui/CMultiTree.h"
#include "ui/CProfilesDlg.h"

namespace uitest {

ManagerTest::ManagerTest() = default;
ManagerTest::~ManagerTest() = default;

void ManagerTest::SetUp() {
    qmtest::StartLinkedPlugin();
    qmtest::TakeAlerts();
    mSavedDataFolder = GetPlugInDataFolder();
    mSavedPreferences = GetStamperPreferences();
    mDataFolder = mFolder.file("data");
    mProfiles = mDataFolder + "/Profiles";
    std::filesystem::create_directories(mProfiles);
    ASSERT_TRUE(SetStamperDataPaths(mDataFolder.c_str()));
    mPreferences = std::make_unique<CStamperPreferences>();
    SetStamperPreferences(mPreferences.get());
    GetStampRunCounters() = StampRunCounters{};
    SetUserCancelled(false);
    ClearErrorMessage();
}

void ManagerTest::TearDown() {
    mModal.reset();
    delete CProfilesDlg::GetModeless();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    while (AVDoc view = gAppViewHFT->getActiveDoc()) gAppViewHFT->avDocClose(view, true);
    SetStamperPreferences(mSavedPreferences);
    mPreferences.reset();
    if (!mSavedDataFolder.empty()) SetStamperDataPaths(mSavedDataFolder.c_str());
    SetUserCancelled(false);
    GetStampRunCounters() = StampRunCounters{};
    qmtest::TakeAlerts();
}

std::string ManagerTest::ProfilePath(const std::string& inName) const { return mProfiles + "/" + inName + ".nxp"; }

std::string ManagerTest::WriteProfile(const std::string& inName, const std::vector<StampSpec>& inStamps) {
    CCabinet profile;
    gASExtraHFT->cabPutInt(profile.GetCab(), kKeyNumberOfStamps, static_cast<int32_t>(inStamps.size()));
    for (size_t i = 0; i < inStamps.size(); ++i) {
        const ASCab cab = gASExtraHFT->cabNew();
        gASExtraHFT->cabPutInt(cab, kKeyStampType, 0);
        gASExtraHFT->cabPutString(cab, kKeyStampName, inStamps[i].name.c_str());
        gASExtraHFT->cabPutString(cab, kKeyText, inStamps[i].text.c_str());
        gASExtraHFT->cabPutInt(cab, kKeyOpacity, 100);
        gASExtraHFT->cabPutInt(cab, kKeyUnit, 3);
        gASExtraHFT->cabPutDouble(cab, kKeyHorizontalOffset, 36);
        gASExtraHFT->cabPutDouble(cab, kKeyVerticalOffset, inStamps[i].y);
        gASExtraHFT->cabPutInt(cab, kKeyVerticalAlign, 1);
        gASExtraHFT->cabPutInt(cab, kKeyStandardFont, 4);
        gASExtraHFT->cabPutInt(cab, kKeyFontColor, 0);
        gASExtraHFT->cabPutCab(profile.GetCab(), StampCabinetKey(static_cast<int32_t>(i)).c_str(), cab);
    }
    const std::string path = ProfilePath(inName);
    EXPECT_TRUE(profile.WriteToFile(TFileSpecifier(path.c_str())));
    return path;
}

std::vector<std::string> ManagerTest::StampNamesInFile(const std::string& inPath) const {
    CCabinet profile;
    if (!profile.ReadFromFile(TFileSpecifier(inPath.c_str()))) return {"<unreadable>"};
    std::vector<std::string> names;
    const int32_t count = gASExtraHFT->cabGetInt(profile.GetCab(), kKeyNumberOfStamps, 0);
    for (int32_t i = 0; i < count; ++i) {
        const ASCab stamp = gASExtraHFT->cabGetCab(profile.GetCab(), StampCabinetKey(i).c_str());
        const char* name = stamp ? gASExtraHFT->cabGetString(stamp, kKeyStampName) : nullptr;
        names.push_back(name ? name : "<missing>");
    }
    return names;
}

std::vector<std::string> ManagerTest::ProfileFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mProfiles))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

AVDoc ManagerTest::OpenDocument(const std::string& inLeaf, int inPages) {
    const std::string path = mFolder.file(inLeaf);
    qmtest::writeSimplePdf(path, inPages);
    qmtest::HostPath hostPath(path);
    const PDDoc doc = gPDModelHFT->docOpen(hostPath);
    return gAppViewHFT->avDocOpenFromPDDoc(doc, nullptr);
}

std::vector<int> ManagerTest::PagesWithText(AVDoc inView, const std::string& inText) {
    const std::string path = mFolder.file("read-back.pdf");
    qmtest::HostPath hostPath(path);
    gPDModelHFT->docSave(gAppViewHFT->avDocGetPDDoc(inView), hostPath);
    std::vector<int> pages;
    const int count = gPDModelHFT->docGetNumPages(gAppViewHFT->avDocGetPDDoc(inView));
    for (int page = 1; page <= count; ++page) {
        const auto result = qmtest::runCommand("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) +
                                               " " + qmtest::shellQuote(path) + " -");
        if (result.output.find(inText) != std::string::npos) pages.push_back(page);
    }
    return pages;
}

CProfilesDlg& ManagerTest::OpenManager(bool inModal) {
    if (inModal) {
        mModal = std::make_unique<CProfilesDlg>(nullptr, CProfilesDlg::kModalTemplate);
        mModal->show();
        return *mModal;
    }
    mManager = CProfilesDlg::Create();
    QApplication::processEvents();
    return *mManager;
}

QTreeWidgetItem* ManagerTest::Item(const std::string& inPath) {
    CProfilesDlg* manager = mModal ? mModal.get() : mManager;
    const QString path = QString::fromStdString(inPath);
    const QString profile = path.section('/', 0, 0), stamp = path.section('/', 1);
    CMultiTree* tree = manager->GetTree();
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* root = tree->topLevelItem(i);
        if (root->text(0) != profile) continue;
        if (stamp.isEmpty()) return root;
        for (int j = 0; j < root->childCount(); ++j)
            if (root->child(j)->text(0) == stamp) return root->child(j);
    }
    ADD_FAILURE() << "no item " << inPath << " in " << TreeText();
    return nullptr;
}

std::string ManagerTest::TreeText() {
    CProfilesDlg* manager = mModal ? mModal.get() : mManager;
    CMultiTree* tree = manager->GetTree();
    std::string text;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* root = tree->topLevelItem(i);
        text += (text.empty() ? "" : " ") + root->text(0).toStdString() + "[";
        for (int j = 0; j < root->childCount(); ++j) text += (j ? "," : "") + root->child(j)->text(0).toStdString();
        text += "]";
    }
    return text;
}

void ManagerTest::Select(const std::vector<std::string>& inPaths) {
    CProfilesDlg* manager = mModal ? mModal.get() : mManager;
    CMultiTree* tree = manager->GetTree();
    tree->ClearAll();
    for (const std::string& path : inPaths) {
        QTreeWidgetItem* item = Item(path);
        if (item && item->parent()) item->parent()->setExpanded(true);
    }
    for (size_t i = 0; i < inPaths.size(); ++i) {
        const unsigned state = CMultiTree::kStateSelected | (i == 0 ? CMultiTree::kStateCaret : 0u);
        tree->SetItemState(Item(inPaths[i]), state, state | (i == 0 ? CMultiTree::kStateCaret : 0u));
    }
    QApplication::processEvents();
}

void ManagerTest::Click(const char* inId) {
    CProfilesDlg* manager = mModal ? mModal.get() : mManager;
    auto* button = manager->findChild<QAbstractButton*>(QString::fromLatin1(inId));
    ASSERT_NE(button, nullptr) << inId;
    button->click();
    QApplication::processEvents();
}

bool ManagerTest::Enabled(const char* inId) {
    CProfilesDlg* manager = mModal ? mModal.get() : mManager;
    auto* control = manager->findChild<QWidget*>(QString::fromLatin1(inId));
    EXPECT_NE(control, nullptr) << inId;
    return control && control->isEnabled();
}

void ManagerTest::Rename(const std::string& inPath, const std::string& inText) {
    CProfilesDlg* manager = mModal ? mModal.get() : mManager;
    Select({inPath});
    QTreeWidgetItem* item = Item(inPath);
    manager->RunCommand(item->parent() ? CProfilesDlg::kCmdRenameStamp : CProfilesDlg::kCmdRenameProfile);
    // Typed into the item's editor and committed with Return, as the user does.
    auto* editor = manager->GetTree()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr) << "no label editor opened";
    editor->setText(QString::fromStdString(inText));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
}

}  // namespace uitest
