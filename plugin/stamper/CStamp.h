// CStamp: one stamp of a profile - a host cabinet of stamp keys (StampKeys.h) -
// and, for one target document, the element engine's objects made from it: a
// document wrapper, a placement, an element of the stamp's kind, an optional
// link action and the set of pages to stamp. Apply writes the element onto
// every page of the set.
//
// The kinds derive from it (CTextStamp; the image and PDF-page kinds come
// later) and make their element before the base part of Build runs. A stamp is
// deleted through a pointer to CStamp.
//
// Failures. Every failure puts one message (a string resource) into the
// stamp's message, writes it as one line to the log unless the no-log flag is
// set, and copies it into the one-message error buffer. Build answers false and
// is no longer built after a failure that throws; two failures let Build go on
// with a false answer and the stamp still built (a link action that does not
// resolve, a font that cannot be made): Apply then still writes every page and
// answers false. A failure while writing pages (or a cancel) leaves the stamp
// not built, which ends an interactive run.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "qmhost/QMBase.h"

class CPageRangeSet;
class CPDFAction;
class CPDFDocument;
class CPDFElement;
class CPDFPlacement;

class CStamp {
public:
    // A new empty cabinet, owned, with "kStampType" = inType. Throws the host's
    // code when no cabinet can be made.
    explicit CStamp(int32_t inType);
    // Wraps inCab (a stamp cabinet) without owning it.
    explicit CStamp(ASCab inCab);
    // Deletes the built objects, destroys the cabinet when owned.
    virtual ~CStamp();
    CStamp(const CStamp&) = delete;
    CStamp& operator=(const CStamp&) = delete;

    // Builds for inDoc (with the interactive flag given here), writes the
    // element onto every page of the page set, low to high in each range,
    // advances the run's progress by page count / pages in the set after each
    // page and, when interactive, stops on a user cancel seen after a page
    // (string 209). Deletes the built objects. Answers Build's result, or false
    // after a failure (the stamp is then no longer built).
    virtual bool Apply(PDDoc inDoc, bool inInteractive);
    // The one-page form, after Build: prepares page inCounterPage (inPageIndex
    // when negative) for the text variables and writes the element onto page
    // inPageIndex. A write failure reports string 206 and answers false. Builds
    // nothing, deletes nothing, tests no cancel.
    virtual bool ApplyToPage(PDDoc inDoc, int32_t inPageIndex, int32_t inCounterPage = -1);
    // Whether the built page set holds the 0-based page; false before Build.
    virtual bool IsPageInRange(int32_t inPageIndex) const;
    // Makes the objects for inDoc. The base part needs the kind's element:
    // alone it answers false and is not built.
    virtual bool Build(PDDoc inDoc);
    // Readies the element for the 0-based page inPageIndex; the base does
    // nothing. True.
    virtual bool PreparePage(PDDoc inDoc, int32_t inPageIndex);
    // Called after the element was written for the 0-based page inPageIndex
    // (the page PreparePage readied); the base does nothing.
    virtual void PageWritten(int32_t inPageIndex);
    // Warns, once per run and stamp, of the pages written since Build where
    // the stamp lands on no visible part of the page (nothing in a quiet
    // run), and forgets them. Apply calls it after its pages; a batch, when
    // the stamp is done with its document. Never throws.
    void WarnOfPagesOffPage();

    // "kStampType" (0 when missing).
    int32_t GetType() const;
    // "kStampNameE"; empty when missing.
    std::string GetName() const;
    void SetName(const char* inName);

    ASCab GetCab() const { return mCab; }
    bool OwnsCab() const { return mOwnsCab; }
    bool IsBuilt() const { return mBuilt; }
    bool IsInteractive() const { return mInteractive; }
    // Interactive: the element records undo, the document wrapper knows the
    // document's view, Apply tests the user-cancel flag.
    void SetInteractive(bool inInteractive) { mInteractive = inInteractive; }
    // Keeps failure messages out of the log (they still reach the error buffer).
    void SetNoLog(bool inNoLog) { mNoLog = inNoLog; }
    // When false, Build makes a set of all pages and reads none of the page keys.
    void SetUsePageSelection(bool inUse) { mUsePageSelection = inUse; }
    // Below 1: the page set is made for the document's page count; else for this count.
    void SetPageCount(int32_t inCount) { mPageCountOverride = inCount; }
    // The text of the last failure (or the message preset for the next one).
    const std::string& GetMessage() const { return mMessage; }

    // The built objects (null before Build and after they are deleted).
    CPDFDocument* GetDocument() const { return mDocument.get(); }
    CPDFElement* GetElement() const { return mElement.get(); }
    CPDFPlacement* GetPlacement() const { return mPlacement.get(); }
    CPDFAction* GetAction() const { return mAction.get(); }
    CPageRangeSet* GetPageRangeSet() const { return mPageRanges.get(); }
    // Deletes the document wrapper, the element, the placement, the action and
    // the page set, in this order.
    virtual void DeleteBuiltObjects();

protected:
    // Thrown inside Build and Apply once the message says why they stop.
    struct Stop {};

    // Typed reads of the stamp's cabinet; the default when the key is missing
    // or holds another type. Host errors leave as their 16-bit codes.
    int32_t CabInt(const char* inKey, int32_t inDefault) const;
    double CabDouble(const char* inKey, double inDefault) const;
    bool CabBool(const char* inKey, bool inDefault) const;
    std::string CabString(const char* inKey) const;
    std::string CabText(const char* inKey) const;

    // Sets the message to string inId (formatted with inArgument when given).
    void SetMessage(uint32_t inId, const char* inArgument = nullptr);
    // Adds ": " and inDetail (what exactly went wrong, e.g. the host's reason)
    // to the message; an empty detail adds nothing.
    void AppendToMessage(const std::string& inDetail);
    // Writes the message to the log (unless no-log) and into the error buffer.
    void ReportMessage() const;
    // Whether failure messages stay out of the log (a quiet preview run, which
    // gives no warnings either).
    bool IsNoLog() const { return mNoLog; }
    // Makes the kind's element from inArgs, owned from now on, and answers it typed.
    template <class TElement, typename... TArgs>
    TElement* MakeElement(TArgs&&... inArgs) {
        auto element = std::make_unique<TElement>(std::forward<TArgs>(inArgs)...);
        TElement* typed = element.get();
        mElement = std::move(element);
        return typed;
    }
    // A kind's Build after MakeElement: the base part, then, when that built,
    // inKindPart. A throw from the kind's part reports the message and leaves
    // the stamp not built (false); its false answer, or the base part's, makes
    // the result false with the stamp built.
    bool BuildKind(PDDoc inDoc, const std::function<bool()>& inKindPart);

    std::string mMessage;

private:
    void BuildPlacement();
    void BuildBorder();
    // The link action of "kActionC". No action document, bookmark or action:
    // no link. An action document that cannot be read or an action that does
    // not resolve: no link, and a warning (string 208 and why). True either way.
    bool BuildAction(PDDoc inDoc);
    // Drops the action, logs and warns (once per run and stamp) that the
    // stamp's link cannot be made for inReason; nothing in a quiet run.
    void WarnLinkNotMade(const std::string& inReason);
    void BuildPageRanges(PDDoc inDoc);
    // Warns, once per run and stamp, when the built page set holds no page of
    // the document (nothing in a quiet run). Never throws.
    void WarnIfNoPageSelected() const;
    // Writes pages; throws Stop after setting the message.
    void WritePages(PDDoc inDoc);
    void WritePage(PDDoc inDoc, int32_t inPageIndex, int32_t inCounterPage);

    ASCab mCab = nullptr;
    bool mOwnsCab = false;
    bool mBuilt = false;
    bool mInteractive = false;
    bool mNoLog = false;
    bool mUsePageSelection = true;
    int32_t mPageCountOverride = -1;

    std::unique_ptr<CPDFDocument> mDocument;
    std::unique_ptr<CPDFElement> mElement;
    std::unique_ptr<CPDFPlacement> mPlacement;
    std::unique_ptr<CPDFAction> mAction;
    std::unique_ptr<CPageRangeSet> mPageRanges;
    // The 0-based pages written since Build where the stamp lands off the page.
    std::vector<int32_t> mPagesOffPage;
};
