#include "ui/CHyperLink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QUrl>

#include "ui/ModalSeam.h"

namespace {

struct LinkColours {
    uint32_t normal = 0xFF0000;   // blue
    uint32_t active = 0x808000;   // teal
    uint32_t visited = 0x800080;  // purple
    uint32_t hover = 0x0000FF;    // red
};

LinkColours& Colours() {
    static LinkColours colours;
    return colours;
}

CHyperLink::UrlOpener& Opener() {
    static CHyperLink::UrlOpener opener;
    return opener;
}

QColor FromColorRef(uint32_t inRef) {
    return QColor(static_cast<int>(inRef & 0xFF), static_cast<int>((inRef >> 8) & 0xFF),
                  static_cast<int>((inRef >> 16) & 0xFF));
}

// What a desktop opener that fails most likely lacks: a program for the link.
constexpr int kNoAssociation = 31;

}  // namespace

void CHyperLink::SetColours(uint32_t inNormal, uint32_t inActive, uint32_t inVisited, uint32_t inHover) {
    Colours() = LinkColours{inNormal, inActive, inVisited, inHover};
}
uint32_t CHyperLink::GetNormalColour() { return Colours().normal; }
uint32_t CHyperLink::GetActiveColour() { return Colours().active; }
uint32_t CHyperLink::GetVisitedColour() { return Colours().visited; }
uint32_t CHyperLink::GetHoverColour() { return Colours().hover; }

void CHyperLink::SetUrlOpener(UrlOpener inOpener) { Opener() = std::move(inOpener); }

bool CHyperLink::OpenUrl(const QString& inUrl) {
    if (Opener()) return Opener()(inUrl);
    return QDesktopServices::openUrl(QUrl(inUrl));
}

CHyperLink::CHyperLink(const QString& inText, QWidget* inParent) : QLabel(inText, inParent), mUrl(inText) {
    setFocusPolicy(Qt::StrongFocus);
    setTextFormat(Qt::PlainText);
    ApplyStyle();
    setToolTip(mUrl);
}

CHyperLink::~CHyperLink() = default;

void CHyperLink::SetURL(const QString& inUrl) {
    mUrl = inUrl;
    if (text().isEmpty()) setText(inUrl);
    setToolTip(mUrl);
    Fit();
}

void CHyperLink::SetWindowText(const QString& inText) {
    setText(inText);
    if (mUrl.isEmpty()) SetURL(inText);
    Fit();
}

void CHyperLink::SetVisited(bool inVisited) {
    mVisited = inVisited;
    Refresh();
}

bool CHyperLink::ModifyLinkStyle(uint32_t inRemove, uint32_t inAdd) {
    if (inRemove & inAdd) return false;
    mStyle = (mStyle & ~inRemove) | inAdd;
    ApplyStyle();
    return true;
}

void CHyperLink::ApplyStyle() {
    QFont linkFont = font();
    linkFont.setUnderline((mStyle & kUnderline) != 0);
    setFont(linkFont);
    if (mStyle & kNoHandCursor)
        unsetCursor();
    else
        setCursor(Qt::PointingHandCursor);
    Fit();
    Refresh();
}

QColor CHyperLink::CurrentColour() const {
    const LinkColours& colours = Colours();
    if (mHovering && (mStyle & kUseHover)) {
        if (colours.hover == 0xFFFFFFFF) return palette().color(QPalette::Highlight);
        return FromColorRef(colours.hover);
    }
    if (mActive && !(mStyle & kNoActiveColour)) return FromColorRef(colours.active);
    if (mVisited) return FromColorRef(colours.visited);
    return FromColorRef(colours.normal);
}

void CHyperLink::Refresh() {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, CurrentColour());
    setPalette(colours);
    update();
}

void CHyperLink::Fit() {
    if (mStyle & kAutoSize) adjustSize();
}

void CHyperLink::FollowLink() {
    if (OpenUrl(mUrl)) {
        SetVisited(true);
        return;
    }
    ReportOpenFailure(this);
}

void CHyperLink::ReportOpenFailure(QWidget* inParent) {
    QApplication::beep();
    ui::GetModalSeam().MessageBox(inParent, QString(),
                                  QStringLiteral("Can't open link:\n\n") + ErrorText(kNoAssociation),
                                  QMessageBox::Warning, QMessageBox::Ok);
}

QString CHyperLink::ErrorText(int inCode) {
    switch (inCode) {
        case 0: return QStringLiteral("The operating system is out\nof memory or resources.");
        case 2: return QStringLiteral("The specified file was not found.");
        case 3: return QStringLiteral("The specified path was not found.");
        case 5: return QStringLiteral("The operating system denied\naccess to the specified file.");
        case 8: return QStringLiteral("There was not enough memory to complete the operation.");
        case 11: return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
        case 26: return QStringLiteral("A sharing violation occurred. ");
        case 27: return QStringLiteral("The filename association is\nincomplete or invalid.");
        case 28: return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
        case 29: return QStringLiteral("The DDE transaction failed.");
        case 30:
            return QStringLiteral(
                "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.");
        case 31: return QStringLiteral("There is no application associated\nwith the given filename extension.");
        case 32: return QStringLiteral("The specified dynamic-link library was not found.");
        default: return QStringLiteral("Unknown Error (%1) occurred.").arg(inCode);
    }
}

void CHyperLink::enterEvent(QEnterEvent* inEvent) {
    mHovering = true;
    Refresh();
    QLabel::enterEvent(inEvent);
}

void CHyperLink::leaveEvent(QEvent* inEvent) {
    mHovering = false;
    Refresh();
    QLabel::leaveEvent(inEvent);
}

void CHyperLink::mousePressEvent(QMouseEvent* inEvent) {
    if (inEvent->button() != Qt::LeftButton) return QLabel::mousePressEvent(inEvent);
    if (mStyle & kGetFocusOnClick) setFocus(Qt::MouseFocusReason);
    if (mStyle & kDownClick) FollowLink();
    mActive = true;
    Refresh();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* inEvent) {
    if (inEvent->button() != Qt::LeftButton) return QLabel::mouseReleaseEvent(inEvent);
    // A press that moved off the link before the release does not follow it.
    if (mActive && !(mStyle & kDownClick) && rect().contains(inEvent->position().toPoint())) FollowLink();
}

void CHyperLink::focusInEvent(QFocusEvent* inEvent) {
    mActive = true;
    Refresh();
    QLabel::focusInEvent(inEvent);
}

void CHyperLink::focusOutEvent(QFocusEvent* inEvent) {
    mActive = false;
    mHovering = false;
    Refresh();
    QLabel::focusOutEvent(inEvent);
}

void CHyperLink::keyPressEvent(QKeyEvent* inEvent) {
    if (inEvent->key() == Qt::Key_Space) {
        FollowLink();
        return;
    }
    QLabel::keyPressEvent(inEvent);
}
