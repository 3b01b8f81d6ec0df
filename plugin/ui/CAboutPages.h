// The two pages of the About box.
//
// CAboutInfoPage: the product's name and version (1030), a heading (1153), the
// support (1005) and information (1004) e-mail links and the web-site link
// (1031).
// CProductInfoPage: headings (1154, 1155), the family text (1065), the version
// (1003), the family links (1007 publish, 1009 print; each enabled only for a
// member of that family, 1065 for a member of either) and the update check
// (1126), which opens the maker's update page for this product and version.
#pragma once

#include <QString>
#include <QWidget>

class CProductIdentity;

// The maker's web site, with the trailing "/".
inline constexpr const char kMakerSite[] = "https://www.quillmark.org/";

class CAboutInfoPage : public QWidget {
    Q_OBJECT
public:
    explicit CAboutInfoPage(const CProductIdentity& inIdentity, QWidget* inParent = nullptr);
};

class CProductInfoPage : public QWidget {
    Q_OBJECT
public:
    explicit CProductInfoPage(const CProductIdentity& inIdentity, QWidget* inParent = nullptr);

    // The update page's URL: productid, the version with blanks and brackets
    // removed, and the operating system.
    static QString UpdateUrl(const CProductIdentity& inIdentity);

private:
    void CheckForUpdates();
    const CProductIdentity& mIdentity;
};
