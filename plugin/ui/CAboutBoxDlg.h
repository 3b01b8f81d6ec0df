// CAboutBoxDlg: the modal About box, "About " and the product's name, holding
// a CAboutTabCtrl (control 1000) with the pages "关于" (CAboutInfoPage) and
// "产品信息" (CProductInfoPage), and an OK button (1).
#pragma once

#include <QDialog>
#include <QTabWidget>

class CProductIdentity;

// The tab control: its pages in tab order; only the shown page is enabled.
class CAboutTabCtrl : public QTabWidget {
    Q_OBJECT
public:
    CAboutTabCtrl(const CProductIdentity& inIdentity, QWidget* inParent = nullptr);

private:
    void ShowPage(int inIndex);
};

class CAboutBoxDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutBoxDlg(const CProductIdentity& inIdentity, QWidget* inParent = nullptr);
};

// Runs the About box modally for the plug-in's product identity.
void RunAboutBox(QWidget* inParent);
