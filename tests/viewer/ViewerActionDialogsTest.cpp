// The desktop host installs its link-action dialogs where its session starts:
// the "Launch" and "URI" handlers' properties open them modally, and what the
// user confirms is written into the action.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <string>

#include "HostTables.h"
#include "ViewerFixture.h"
#include "common/PdfFixtures.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/PDModelTable.h"

using namespace qmviewertest;

namespace {

// The modal dialog's object name once one opens; its line edit set to text
// and the dialog accepted.
class ModalAnswer {
public:
    ModalAnswer(const char* editName, const QString& text) {
        mPoll.setInterval(10);
        QObject::connect(&mPoll, &QTimer::timeout, [this, editName, text] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            mPoll.stop();
            seen = dialog->objectName().toStdString();
            if (auto* edit = dialog->findChild<QLineEdit*>(editName)) edit->setText(text);
            dialog->accept();
        });
        mPoll.start();
        QTimer::singleShot(10000, &mPoll, &QTimer::stop);
    }
    std::string seen;

private:
    QTimer mPoll;
};

std::string stringOf(CosObj object) {
    const CosTable& cos = *qmhost::cosTable();
    if (cos.objGetType(object) != CosString) return "<none>";
    int32_t length = 0;
    const char* bytes = cos.stringValue(object, &length);
    return std::string(bytes, static_cast<size_t>(length));
}

TEST(ViewerActionDialogs, LinkActionPropertiesAskInTheViewersDialogs) {
    Viewer();  // the session has started
    const CosTable& cos = *qmhost::cosTable();
    const struct {
        const char* type;
        const char* edit;
        const char* dialog;
        const char* answer;
    } rows[] = {
        {"URI", "uri", "uriDialog", "https://quillmark.org/c"},
        {"Launch", "launchFile", "launchFileDialog", "/srv/files/terms.pdf"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        qmtest::HostDoc doc = qmtest::HostDoc::create();
        PDAction action = qmhost::pdModelTable()->actionNew(doc.pd(), qmtest::nameAtom(row.type));
        const AVActionHandlerProcs* procs = qmhost::appViewTable()->getActionHandlerByType(qmtest::nameAtom(row.type));
        ASSERT_NE(procs, nullptr);
        ModalAnswer answer(row.edit, QString::fromUtf8(row.answer));
        EXPECT_TRUE(procs->properties(action, nullptr));
        EXPECT_EQ(answer.seen, row.dialog);
        CosObj written = cos.dictGet(action.cos, qmtest::nameAtom(std::string(row.type) == "URI" ? "URI" : "F"));
        if (cos.objGetType(written) == CosDict) written = cos.dictGet(written, qmtest::nameAtom("F"));
        EXPECT_EQ(stringOf(written), row.answer);
    }
}

}  // namespace
