// Texts of the dialogs and controls: string-table entries as Qt strings, the
// string ids the dialogs use, and the conversions of stored texts.
#pragma once

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace ui {

// String-table ids of the pickers, design dialogs and link-action dialogs.
enum : uint32_t {
    kStrNone = 1300,          // "(无)"
    kStrColourFirst = 1300,   // the colour table's names, 1300..1310
    kStrCustomColour = 1311,  // "自定义..."
    kStrTextStampCaption = 1320,
    kStrPDFStampCaption = 1321,
    kStrGroupSettings = 1322,
    kStrGroupLayout,
    kStrGroupPages,
    kStrGroupAction,
    kStrGroupBorder,
    kStrStampName,
    kStrUnit,
    kStrHorizontal,
    kStrVertical,
    kStrRotation,
    kStrOpacity,
    kStrDegreesClockwise,
    kStrPercent,
    kStrColour,
    kStrLineType,
    kStrType,
    kStrWeight,
    kStrOverlay,
    kStrUnderlay,
    kStrStampOn,
    kStrPageRange,
    kStrFromPage,
    kStrEveryFrom,
    kStrPage,
    kStrInch,  // 1346, then 厘米, 毫米
    kStrFromLeft = 1349,  // .. 1351
    kStrFromTop = 1352,  // .. 1354
    kStrAllPages = 1355,  // .. 1359
    kStrGoToView = 1360,
    kStrGoToRemoteView = 1361,
    kStrOK = 1362,
    kStrCancel = 1363,
    kStrGroupFont = 1370,
    kStrText,
    kStrLineSpacing,
    kStrDynamicText,
    kStrFontName,
    kStrSize,
    kStrUnderline,
    kStrFillColour,
    kStrInsert,
    kStrStandardFont,
    kStrSystemFont,
    kStrSingleSpacing,  // 1381 .. 1383
    kStrWordWrap = 1384,
    kStrEmbed,
    kStrOutline,
    kStrSelectFile = 1390,
    kStrBrowse,
    kStrPageNo,
    kStrAllSupportedTypes,
    kStrPDFFiles,
    kStrGoToCaption = 1400,
    kStrGoToRemoteCaption,
    kStrPageNoColon,
    kStrZoom,
    kStrFileName,
    kStrViewFirst = 1405,  // 1405 .. 1413, by view type
    kStrPDFFilesFilter = 1414,
    kStrFileMissing = 1416,  // "%s" is the path
    kStrNotAPDF = 1417,      // "%s" is the path
    kStrEnterIntegerInRange = 1418,  // "%s" the lowest, "%s" the highest
    kStrEnterNumberInRange = 1419,
    kStrFontNotInstalled = 1420,     // "%s" is the font's name
    kStrQtFolder = 1430,  // Qt's own texts its translation lacks, 1430 .. 1433
    kStrQtDrive,
    kStrQtShortcut,
    kStrQtUnknown,

    // Messages with the ids their texts have always had.
    kStrNeedStampName = 23,
    kStrNeedSourcePDF = 24,
    kStrNeedText = 31,
    kStrNeedSourceImage = 32,
    kStrNeedActionDocument = 33,
    kStrImageStampCaption = 44,
};

// The string-table text of inId ("" when missing).
QString ResText(uint32_t inId);
// The text of inId with its "%s" replaced by the arguments in order (never a
// format).
QString ResTextWith(uint32_t inId, std::initializer_list<QString> inArguments);
inline QString ResTextWith(uint32_t inId, const QString& inArgument) { return ResTextWith(inId, {inArgument}); }

// A stored text's "\r\n" line breaks as a widget shows them ("\n"), and back:
// every line break a widget gives ("\n", also "\r\n") stored as "\r\n".
QString StoredToWidgetText(const std::string& inStored);
std::string WidgetToStoredText(const QString& inText);

}  // namespace ui
