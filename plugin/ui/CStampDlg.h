// CStampDlg: the common part of the stamp design dialogs (text, PDF page,
// image). It edits one stamp through its cabinet: the name, the placement
// (unit, positions with their reference edges, rotation, opacity, overlay or
// underlay), the pages, the border (colour, line type, weight) and the link
// action, which it keeps in the stamp's action document.
//
// A design dialog is opened modelessly over the stamp manager: while it is
// open the manager's controls are disabled and no second one can be opened.
// OK validates, saves into the cabinet and closes; Cancel closes without
// saving. When the window goes it enables the manager's controls again and
// then tells the opener whether the stamp was confirmed.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "qmhost/QMBase.h"
#include "support/io/TFileSpecifier.h"
#include "ui/CNumberField.h"

class CColourPickerCB;
class CDashedPickerCB;
class CPDFDocument;
class CStamp;
class CWeightPickerCB;
class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;

class CStampDlg : public QDialog {
    Q_OBJECT
public:
    // Called once when the window goes: true when the user confirmed.
    typedef std::function<void(bool inConfirmed)> DoneCallback;

    // Edits inStamp (not owned; it must outlive the dialog). Disables the
    // manager's (inParent's) controls and becomes the open design dialog.
    CStampDlg(int inResourceId, QWidget* inParent, CStamp& inStamp);
    ~CStampDlg() override;

    // The open design dialog, null when none is open.
    static CStampDlg* GetOpenDesignDialog();

    // Builds the window, loads the stamp and shows the dialog modelessly; the
    // dialog deletes itself when closed. The base makes nothing and answers true.
    virtual bool Create(QWidget* inParent);
    virtual void Load();
    virtual void Save();
    // Whether the input may be saved; shows the reason when not.
    virtual bool Validate();
    // Enables, shows and relabels controls from the current input.
    virtual void UpdateControls();

    void SetEditingExistingStamp(bool inEditing) { mEditing = inEditing; }
    bool IsEditingExistingStamp() const { return mEditing; }
    void SetDoneCallback(DoneCallback inDone) { mDone = std::move(inDone); }
    int GetTemplateId() const { return mTemplateId; }
    CStamp& GetStamp() const { return mStamp; }
    // The link action (the null object when none) and the document it lives in.
    PDAction GetAction() const { return mAction; }
    PDDoc GetActionDocument() const;

    // The dialog's actions.
    void accept() override;
    void reject() override;
    // On a user's choice of the action combo: makes, edits or removes the
    // link action. A cancelled edit keeps the action and the combo's entry.
    void SetupAction();

protected:
    // The window: the shared groups, with inKindArea filled by the kind
    // (placed under the name) ; runs once from Create.
    void BuildWindow(int inTemplateId, const QString& inCaption);
    // The kind's own controls go here (between the name and the shared groups).
    QVBoxLayout* KindArea() const { return mKindArea; }
    // Base initialisation: the window goes onto the host's list of modeless
    // windows (once; it comes off when the dialog goes), the action types
    // into 1038. Kinds then Load and UpdateControls.
    virtual void OnInitDialog();
    // Reads the cabinet's int / double / bool / string / text under inKey.
    int32_t CabInt(const char* inKey, int32_t inDefault) const;
    double CabDouble(const char* inKey, double inDefault) const;
    bool CabBool(const char* inKey, bool inDefault) const;
    std::string CabString(const char* inKey) const;
    std::string CabText(const char* inKey) const;
    void PutInt(const char* inKey, int32_t inValue);
    void PutDouble(const char* inKey, double inValue);
    void PutBool(const char* inKey, bool inValue);
    void PutString(const char* inKey, const std::string& inValue);
    void PutText(const char* inKey, const std::string& inValue);
    // Shows string inId as the alert of a refused input.
    static void RefuseWith(uint32_t inId);
    // Adds a number field that Validate checks, in the order added.
    void AddNumberField(INumberField* inField) { mNumbers.push_back(inField); }
    // A picker's colour as stored: -1 for "(无)" (selection 0).
    static int32_t StoredColour(const CColourPickerCB& inPicker);
    static void LoadColour(CColourPickerCB& inPicker, int32_t inStored);

    QLineEdit* mName = nullptr;           // 1014
    QComboBox* mUnit = nullptr;           // 1022
    CDoubleField* mHorizontal = nullptr;  // 1019
    QComboBox* mHorizontalRef = nullptr;  // 1026
    CDoubleField* mVertical = nullptr;    // 1023
    QComboBox* mVerticalRef = nullptr;    // 1027
    CIntField* mRotation = nullptr;       // 1024
    CIntField* mOpacity = nullptr;        // 1025
    QRadioButton* mOverlay = nullptr;     // 1020
    QRadioButton* mUnderlay = nullptr;    // 1021
    QRadioButton* mStampOnPages = nullptr;  // 1028
    QRadioButton* mPageRange = nullptr;   // 1029
    QRadioButton* mFromPage = nullptr;    // 1030
    QComboBox* mStampOn = nullptr;        // 1031
    QLineEdit* mPageList = nullptr;       // 1032
    CIntField* mFirstPage = nullptr;      // 1033
    CIntField* mEveryPage = nullptr;      // 1034
    QLabel* mEveryLabel = nullptr;        // 1067
    QLabel* mPagesLabel = nullptr;        // 1068
    QComboBox* mActionType = nullptr;     // 1038
    CDashedPickerCB* mDashed = nullptr;   // 1037
    CColourPickerCB* mBorderColour = nullptr;  // 1035
    CWeightPickerCB* mWeight = nullptr;   // 1036
    QLabel* mLineTypeLabel = nullptr;     // 1065
    QLabel* mWeightLabel = nullptr;       // 1066
    QLabel* mHorizontalUnit = nullptr;    // 1039
    QLabel* mVerticalUnit = nullptr;      // 1040

private:
    void BuildSettingsGroup(QVBoxLayout* inColumn);
    QWidget* BuildLayoutGroup();
    QWidget* BuildPagesGroup();
    QWidget* BuildActionGroup();
    QWidget* BuildBorderGroup();
    // The custom page list as a run reads it; refused with the run's message.
    bool AcceptPageList();
    void LoadAction();
    void SaveAction();
    // The action combo's entry for the current action (0 when none).
    int ActionEntryIndex() const;
    // Runs the editor of the type on inWorking (an action in inDoc); true when confirmed.
    bool EditAction(const QString& inType, PDAction inWorking, PDDoc inDoc, AVDoc inView);
    void CloseActionDocument();

    int mTemplateId = -1;
    bool mEditing = false;
    bool mConfirmed = false;
    bool mRegistered = false;  // on the host's modeless-window list
    CStamp& mStamp;
    QPointer<QWidget> mManager;
    DoneCallback mDone;
    QVBoxLayout* mKindArea = nullptr;
    PDAction mAction{{0, 0}};
    CPDFDocument* mActionDoc = nullptr;
    TFileSpecifier mActionFile;
    int mActionEntry = 0;  // the action combo's entry before the user's choice
    std::vector<INumberField*> mNumbers;
};
