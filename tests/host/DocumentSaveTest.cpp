// Saving a document as the user asks: notification 33 goes out once the file is
// written, so plug-ins let go of what they kept for the document (its undo)
// only after a save that happened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/CoreTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "view/DocumentSave.h"

namespace {

struct Seen {
    std::vector<PDDoc> docs;
    bool targetExisted = true;
    std::string target;
};

void OnDocWillChange(PDDoc doc, void* clientData) {
    auto* seen = static_cast<Seen*>(clientData);
    seen->docs.push_back(doc);
    seen->targetExisted = qmtest::fileExists(seen->target);
}

class DocumentSave : public ::testing::Test {
protected:
    void SetUp() override {
        qmhost::registerHostTables();
        mCallback = qmhost::coreTable()->makeCallback(nullptr, reinterpret_cast<ASProc>(&OnDocWillChange));
        qmhost::appViewTable()->registerNotification(kNotifyDocWillChange, nullptr, mCallback, &mSeen);
        qmtest::writeSimplePdf(mFolder.file("in.pdf"), 2);
        mSeen.target = mFolder.file("out.pdf");
    }
    void TearDown() override {
        qmhost::appViewTable()->unregisterNotification(kNotifyDocWillChange, mCallback, &mSeen);
    }
    qmtest::FixtureFolder mFolder;
    Seen mSeen;
    ASCallback mCallback = nullptr;
};

TEST_F(DocumentSave, NotifiesOnceTheFileIsWritten) {
    qmtest::HostDoc doc = qmtest::HostDoc::open(mFolder.file("in.pdf"));
    qmhost::saveDocumentAs(doc.pd(), mFolder.file("out.pdf"));
    ASSERT_EQ(mSeen.docs.size(), 1u);
    EXPECT_EQ(mSeen.docs[0], doc.pd());
    EXPECT_TRUE(mSeen.targetExisted) << "the notification came before the write";
    EXPECT_EQ(qmhost::pdModelTable()->docGetNumPages(doc.pd()), 2);
}

TEST_F(DocumentSave, FailedSaveNotifiesNoOne) {
    qmtest::HostDoc doc = qmtest::HostDoc::open(mFolder.file("in.pdf"));
    for (const std::string& target : {mFolder.file("missing/out.pdf"), mFolder.path()}) {
        EXPECT_THROW(qmhost::saveDocumentAs(doc.pd(), target), HostError) << target;
        EXPECT_TRUE(mSeen.docs.empty()) << target;
    }
}

TEST_F(DocumentSave, StaleDocumentRaisesWithoutNotifying) {
    qmtest::HostDoc doc = qmtest::HostDoc::open(mFolder.file("in.pdf"));
    const PDDoc stale = doc.pd();
    doc.close();
    EXPECT_THROW(qmhost::saveDocumentAs(stale, mFolder.file("out.pdf")), HostError);
    EXPECT_TRUE(mSeen.docs.empty());
}

TEST_F(DocumentSave, EmptyPathIsRefused) {
    qmtest::HostDoc doc = qmtest::HostDoc::open(mFolder.file("in.pdf"));
    try {
        qmhost::saveDocumentAs(doc.pd(), "");
        ADD_FAILURE() << "an empty path was taken";
    } catch (const HostError& error) {
        EXPECT_EQ(error.code(), kHostErrBadParameter);
    }
    EXPECT_TRUE(mSeen.docs.empty());
}

}  // namespace
