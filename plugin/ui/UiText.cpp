#include "ui/UiText.h"

#include "support/ResourceStrings.h"

namespace ui {

QString ResText(uint32_t inId) {
    const std::string_view text = GetResString(inId);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ResTextWith(uint32_t inId, const QString& inArgument) {
    QString text = ResText(inId);
    const qsizetype at = text.indexOf(QStringLiteral("%s"));
    if (at >= 0) text.replace(at, 2, inArgument);
    return text;
}

QString StoredToWidgetText(const std::string& inStored) {
    QString text = QString::fromUtf8(inStored.data(), static_cast<qsizetype>(inStored.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string WidgetToStoredText(const QString& inText) {
    QString text = inText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar::ParagraphSeparator, QChar('\n'));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text.toStdString();
}

}  // namespace ui
