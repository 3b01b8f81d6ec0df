#include "ui/QtTextsInPluginLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace ui {
namespace {

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

}  // namespace

QString QtTextsInPluginLanguage::Language() { return QStringLiteral("zh_CN"); }

QtTextsInPluginLanguage::QtTextsInPluginLanguage() {
    if (QTranslator* translation = QtTranslation())
        mInstalled = QCoreApplication::installTranslator(translation);
}

QtTextsInPluginLanguage::~QtTextsInPluginLanguage() {
    if (mInstalled) QCoreApplication::removeTranslator(QtTranslation());
}

}  // namespace ui
