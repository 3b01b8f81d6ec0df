// The link-action handlers' properties prompts: with none installed (the
// command-line host) they answer "cancelled" and leave the action alone; with
// prompts installed (the desktop host's dialogs) the answer is written into it.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "HostTables.h"
#include "PDModelEditSupport.h"
#include "common/PdfFixtures.h"
#include "qmhost/AppViewTable.h"
#include "view/ActionPrompts.h"

namespace {

using namespace qmtest;

std::string gAskedWith;
// Each prompt notes the text it was shown.
std::optional<std::string> asked(const std::string& current, std::optional<std::string> answer) {
    gAskedWith = current;
    return answer;
}
std::optional<std::string> answerFile(const std::string& current) { return asked(current, "/srv/files/terms.pdf"); }
std::optional<std::string> answerUri(const std::string& current) { return asked(current, "https://quillmark.org/b"); }
std::optional<std::string> cancel(const std::string& current) { return asked(current, std::nullopt); }
const qmhost::ActionPrompts kAnswering = {answerFile, answerUri};
const qmhost::ActionPrompts kCancelling = {cancel, cancel};

class PromptsRemoved {
public:
    ~PromptsRemoved() { qmhost::setActionPrompts(nullptr); }
};

std::string textOf(CosObj object) {
    if (cosT().objGetType(object) != CosString) return "<none>";
    int32_t length = 0;
    const char* bytes = cosT().stringValue(object, &length);
    return std::string(bytes, static_cast<size_t>(length));
}

// The text the action's properties show: the URI, or the launched file's path.
std::string actionText(PDAction action, const char* type) {
    if (std::string(type) == "URI") return textOf(cosT().dictGet(action.cos, nameAtom("URI")));
    const CosObj file = cosT().dictGet(action.cos, nameAtom("F"));
    if (cosT().objGetType(file) == CosString) return textOf(file);
    return textOf(cosT().dictGet(file, nameAtom("F")));
}

TEST(ActionPrompts, PropertiesAskThroughTheInstalledPromptsOnly) {
    const struct {
        const char* type;
        const qmhost::ActionPrompts* prompts;
        bool confirmed;
        const char* text;  // the action's text afterwards
    } rows[] = {
        {"URI", nullptr, false, "https://quillmark.org/a"},
        {"URI", &kCancelling, false, "https://quillmark.org/a"},
        {"URI", &kAnswering, true, "https://quillmark.org/b"},
        {"Launch", nullptr, false, "/old/file.pdf"},
        {"Launch", &kCancelling, false, "/old/file.pdf"},
        {"Launch", &kAnswering, true, "/srv/files/terms.pdf"},
    };
    PromptsRemoved removed;
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.type) + (row.prompts ? " with prompts" : " without prompts"));
        HostDoc doc = HostDoc::create();
        PDAction action = pdT().actionNew(doc.pd(), nameAtom(row.type));
        const bool uri = std::string(row.type) == "URI";
        const char* before = uri ? "https://quillmark.org/a" : "/old/file.pdf";
        cosT().dictPut(action.cos, nameAtom(uri ? "URI" : "F"),
                       cosT().newString(doc.cos(), false, before, static_cast<int32_t>(std::string(before).size())));
        qmhost::setActionPrompts(row.prompts);
        gAskedWith = "<not asked>";
        const AVActionHandlerProcs* procs = qmhost::appViewTable()->getActionHandlerByType(nameAtom(row.type));
        ASSERT_NE(procs, nullptr);
        ASSERT_NE(procs->properties, nullptr);
        EXPECT_EQ(procs->properties(action, nullptr), row.confirmed);
        EXPECT_EQ(actionText(action, row.type), row.text);
        EXPECT_EQ(gAskedWith, row.prompts ? before : "<not asked>");
    }
}

}  // namespace
