// CActionGoToDlg: edits the destination of a "GoTo" link action (caption
// "前往页面"): the page (1014, 1 to 1000000), the view type (1079, in the
// order of the view-type table) and the zoom in percent (1080, 1 to 6400,
// enabled only for "缩放"). The caller sets the action and the document it
// lives in, then runs the dialog modally; OK rebuilds the action's "D" there.
#pragma once

#include <QDialog>

#include "qmhost/QMBase.h"
#include "stamper/GoToActions.h"
#include "ui/CNumberField.h"

class QComboBox;
class QGridLayout;

class CActionGoToDlg : public QDialog {
    Q_OBJECT
public:
    explicit CActionGoToDlg(QWidget* inParent = nullptr);

    void SetAction(PDAction inAction) { mAction = inAction; }
    void SetDocument(PDDoc inDoc) { mDoc = inDoc; }

    // Reads the action's destination into the controls (page 1, "继承缩放"
    // and zoom 100 when it has none that can be read). exec runs it first.
    virtual void OnInitDialog();
    int exec() override;
    // Rebuilds the action from the controls and closes with OK.
    void accept() override;

protected:
    // ids: the page field's (1014 here, 1015 for the remote kind); the zoom's
    // lowest value.
    CActionGoToDlg(QWidget* inParent, const char* inPageId, double inZoomMinimum);
    // The destination to read: the action's, resolved in the document.
    virtual PDViewDestination ReadableDestination();
    // Rebuilds the action; false keeps the dialog open.
    virtual bool RebuildAction();
    // Enables the zoom only for view type 1.
    void OnViewChanged();

    QGridLayout* mGrid = nullptr;  // the group's rows; kinds add theirs
    QComboBox* mView = nullptr;
    CIntField* mPage = nullptr;
    CDoubleField* mZoom = nullptr;
    PDAction mAction{{0, 0}};
    PDDoc mDoc = nullptr;
    GoToRect mRect;

private:
    void Build(const char* inPageId, double inZoomMinimum);
};
