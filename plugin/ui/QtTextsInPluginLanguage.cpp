#include "ui/QtTextsInPluginLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstring>
#include <vector>

#include "ui/UiText.h"

namespace ui {
namespace {

// Qt's texts that its translation for the language lacks, from the string table.
class TranslationGaps final : public QTranslator {
public:
    TranslationGaps() {
        const struct {
            const char* source;
            uint32_t id;
        } gaps[] = {{"Folder", kStrQtFolder}, {"Drive", kStrQtDrive}, {"Shortcut", kStrQtShortcut},
                    {"Unknown", kStrQtUnknown}};
        for (const auto& gap : gaps) mTexts.push_back({gap.source, ResText(gap.id)});
    }
    // Also asked from the file dialog's worker thread: reads only.
    QString translate(const char* inContext, const char* inSource, const char*, int) const override {
        if (!inContext || !inSource || std::strcmp(inContext, "QAbstractFileIconProvider") != 0) return QString();
        for (const Gap& gap : mTexts)
            if (std::strcmp(inSource, gap.source) == 0) return gap.text;
        return QString();
    }
    bool isEmpty() const override { return false; }

private:
    struct Gap {
        const char* source;
        QString text;
    };
    std::vector<Gap> mTexts;
};

// Read once; null when Qt's translation for the language is not installed.
QTranslator* QtTranslation() {
    static QTranslator* const translation = [] {
        auto* loaded = new QTranslator;
        if (loaded->load(QStringLiteral("qtbase_") + QtTextsInPluginLanguage::Language(),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            return loaded;
        delete loaded;
        return static_cast<QTranslator*>(nullptr);
    }();
    return translation;
}

QTranslator* Gaps() {
    static TranslationGaps* const gaps = new TranslationGaps;
    return gaps;
}

// Scopes open; the translations are installed while it is above 0 (Qt would
// take a translator installed twice out at its first removal).
int sOpen = 0;
bool sInstalled = false;

}  // namespace

QString QtTextsInPluginLanguage::Language() { return QStringLiteral("zh_CN"); }

QtTextsInPluginLanguage::QtTextsInPluginLanguage() {
    if (sOpen++ > 0) return;
    QTranslator* translation = QtTranslation();
    if (!translation) return;
    // The gaps below Qt's own translation: asked only for what it lacks.
    QCoreApplication::installTranslator(Gaps());
    sInstalled = QCoreApplication::installTranslator(translation);
}

QtTextsInPluginLanguage::~QtTextsInPluginLanguage() {
    if (--sOpen > 0 || !sInstalled) return;
    QCoreApplication::removeTranslator(QtTranslation());
    QCoreApplication::removeTranslator(Gaps());
    sInstalled = false;
}

}  // namespace ui
