#include "ui/UiText.h"

#include "support/ResourceStrings.h"

namespace ui {

QString ResText(uint32_t inId) {
    const std::string_view text = GetResString(inId);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ResTextWith(uint32_t inId, std::initializer_list<QString> inArguments) {
    QString text = ResText(inId);
    qsizetype at = 0;
    for (const QString& argument : inArguments) {
        at = text.indexOf(QStringLiteral("%s"), at);
        if (at < 0) break;
        text.replace(at, 2, argument);
        at += argument.size();
    }
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
