// CHyperLink: a text label that is a link. It shows its URL as a tooltip, is
// drawn in the link colours (normal, active, visited, hover), and follows the
// link on a click or the space bar through the desktop's URL opener; a link
// that cannot be opened is reported in a message box ("Can't open link:").
//
// Style bits: 0x01 underlined font, 0x02 hover colour, 0x04 fit the label to
// its text, 0x08 follow on button press (else on release), 0x10 take the focus
// on press, 0x20 no hand cursor, 0x40 no active colour. A new link has 0x15.
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>
#include <cstdint>
#include <functional>

class CHyperLink : public QLabel {
    Q_OBJECT

public:
    enum : uint32_t {
        kUnderline = 0x01,
        kUseHover = 0x02,
        kAutoSize = 0x04,
        kDownClick = 0x08,
        kGetFocusOnClick = 0x10,
        kNoHandCursor = 0x20,
        kNoActiveColour = 0x40,
    };

    // The link colours as 0x00BBGGRR values; hover 0xFFFFFFFF stands for the
    // palette's highlight colour.
    static void SetColours(uint32_t inNormal, uint32_t inActive, uint32_t inVisited, uint32_t inHover);
    static uint32_t GetNormalColour();
    static uint32_t GetActiveColour();
    static uint32_t GetVisitedColour();
    static uint32_t GetHoverColour();

    // Opens a URL for the user; answers whether it could. The desktop's opener
    // by default; tests install one that records (an empty one restores it).
    typedef std::function<bool(const QString& inUrl)> UrlOpener;
    static void SetUrlOpener(UrlOpener inOpener);
    // Opens inUrl through the installed opener; answers whether it could.
    static bool OpenUrl(const QString& inUrl);

    // A label showing inText; its URL is the text until SetURL gives another.
    explicit CHyperLink(const QString& inText = QString(), QWidget* inParent = nullptr);
    ~CHyperLink() override;

    void SetURL(const QString& inUrl);
    QString GetURL() const { return mUrl; }
    void SetWindowText(const QString& inText);
    void SetVisited(bool inVisited);
    bool GetVisited() const { return mVisited; }
    // Removes then adds style bits; refused (false) when a bit is in both.
    bool ModifyLinkStyle(uint32_t inRemove, uint32_t inAdd);
    uint32_t GetLinkStyle() const { return mStyle; }

    // The colour the text is drawn in now.
    QColor CurrentColour() const;
    // Follows the link: visited on success, a message box otherwise.
    void FollowLink();
    // The message for an opener's failure code (the shell's codes).
    static QString ErrorText(int inCode);
    // Beeps and tells the user that a link could not be opened.
    static void ReportOpenFailure(QWidget* inParent);

protected:
    void enterEvent(QEnterEvent* inEvent) override;
    void leaveEvent(QEvent* inEvent) override;
    void mousePressEvent(QMouseEvent* inEvent) override;
    void mouseReleaseEvent(QMouseEvent* inEvent) override;
    void focusInEvent(QFocusEvent* inEvent) override;
    void focusOutEvent(QFocusEvent* inEvent) override;
    void keyPressEvent(QKeyEvent* inEvent) override;

private:
    void ApplyStyle();
    void Refresh();
    void Fit();

    bool mActive = false;
    bool mHovering = false;
    bool mVisited = false;
    uint32_t mStyle = kUnderline | kAutoSize | kGetFocusOnClick;
    QString mUrl;
};
