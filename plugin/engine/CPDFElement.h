// CPDFElement: the base of everything the plug-in writes into a PDF page (text,
// image and PDF-page stamps). It holds what every element shares - the target
// document, the link action, the placement, where its content goes in the
// page's content list, the opacities, the border line settings, the
// record-undo flag and the host's message of the last failure - and offers the
// services the kinds use while they write.
//
// The element owns none of the objects it points to. Services answer false on
// a host error (the host's text then in the one-message error buffer) and
// leave what they already put into the document in place; an in-house error
// code (kErrCosObject when an undo record cannot be made) passes out.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/CPageResources.h"
#include "qmhost/QMBase.h"

class CPDFAction;
class CPDFDocument;
class CPDFPlacement;
class CWrapPieces;

class CPDFElement {
    // The write protocol of the kinds records resources and keeps error texts.
    friend class CElementPageWriter;

public:
    // Content positions: in front of all existing page content (underlay) or
    // after it (overlay). Only kContentEnd means "after": any other value
    // puts a piece in front.
    static constexpr int32_t kContentFront = -1;
    static constexpr int32_t kContentEnd = 0x7FFFFFFE;

    // Modes of WriteLineOperators.
    enum LineMode : int32_t { kStrokeRect = 0, kFillRect = 1, kStrokeTopEdge = 2 };

    // The longest error text kept, in bytes (cut on a character boundary).
    static constexpr size_t kErrorTextCapacity = 255;
    // Resource names tried per prefix: prefix0 .. prefix9999.
    static constexpr int32_t kResourceNameLimit = 10000;

    CPDFElement();
    virtual ~CPDFElement();
    CPDFElement(const CPDFElement&) = delete;
    CPDFElement& operator=(const CPDFElement&) = delete;

    // Writes the element onto page pageIndex (0-based) of the document; true
    // on success. The base writes nothing and answers true.
    virtual bool Write(int32_t pageIndex);

    // --- setters (nothing is written to the document)
    void SetDocument(CPDFDocument* document) { mDocument = document; }
    // The stamp sets an action only after it resolved.
    void SetAction(CPDFAction* action) { mAction = action; }
    void SetPlacement(CPDFPlacement* placement) { mPlacement = placement; }
    // true: in front of the existing content (kContentFront); false: after it.
    void SetUnderlay(bool underlay);
    // 0..255 each, divided by 255 (no clamping).
    void SetLineColor(int32_t red, int32_t green, int32_t blue);
    // Points; stored only when > 0.
    void SetLineWidth(double width);
    // 0..5 (solid, dashes, dots, dash-dot, dash-dot-dot, solid); other values ignored.
    void SetDashStyle(int32_t style);
    // Both opacities (0..1; 0 is invisible, the default).
    void SetOpacity(double opacity);
    void SetFillOpacity(double opacity) { mFillOpacity = opacity; }
    void SetStrokeOpacity(double opacity) { mStrokeOpacity = opacity; }
    void SetRecordUndo(bool record) { mRecordUndo = record; }

    CPDFDocument* GetDocument() const { return mDocument; }
    CPDFAction* GetAction() const { return mAction; }
    CPDFPlacement* GetPlacement() const { return mPlacement; }
    int32_t GetContentPosition() const { return mContentPosition; }
    double GetFillOpacity() const { return mFillOpacity; }
    double GetStrokeOpacity() const { return mStrokeOpacity; }
    double GetLineWidth() const { return mLineWidth; }
    void GetLineColor(double& red, double& green, double& blue) const;
    int32_t GetDashStyle() const { return mDashStyle; }
    bool GetRecordUndo() const { return mRecordUndo; }
    // The host's message of the last failed Write, "" when none failed.
    const std::string& GetErrorText() const { return mErrorText; }
    // The prefix whose names (prefix0 .. prefix9999) were all taken when the
    // last MakeResourceName failed for that reason; "" otherwise.
    const std::string& GetExhaustedNamePrefix() const { return mExhaustedNamePrefix; }

    // --- services

    // Makes a content stream of content (stored as given, no filter) in cosDoc
    // and puts it into pageDict's "Contents": as the only content when there is
    // none, into a new two-element array with the old stream, or into the
    // array, at the front or (position kContentEnd only) at the end. An
    // indirect "Contents" array (which other pages may share) is first
    // replaced by a direct copy, so that only this page gets the piece. Empty
    // content answers true and makes nothing. A "Contents" of any other type
    // answers false and makes nothing. Records kind 0 when recording.
    // A piece equal to one of the last few this element made in the document
    // (the same text on every page, a page placed alike) is put in as that
    // stream, unless this page already holds it: one object serves the pages.
    bool InsertPageContent(CosDoc cosDoc, CosObj pageDict, const std::string& content,
                           int32_t position);

    // outName = prefix followed by the first number 0..9999 that is not a key
    // of dict. False when dict is the null object, all 10000 names are taken
    // (outName then holds the last one tried) or the host raised.
    bool MakeResourceName(std::string& outName, const char* prefix, CosObj dict);

    // Puts a save piece before and a restore piece after the existing content
    // of page pageIndex, as pieces gives them for that content: the shared
    // " q " and " Q " streams, or for a page that leaves operators open (or
    // restores below its start) pieces that close and balance them.
    // "Contents" becomes a direct array save, the old pieces, restore; a page
    // without "Contents" gets save, restore. When recording, undo puts the old
    // "Contents" back once no piece of the run is left around the pair
    // (CPDFElementUndoWrap). False (nothing changed) for a "Contents" that is
    // no stream, array or null.
    bool WrapPageContent(int32_t pageIndex, CWrapPieces& pieces);

    // An indirect content stream of content (stored as given, no filter) in
    // cosDoc, attached nowhere. Raises what the host raises.
    static CosObj MakeContentStream(CosDoc cosDoc, const std::string& content);

    // Puts a "Link" annotation with the element's action over rect (user space
    // of page) as the page's last annotation. False without a valid action.
    // Records kind 4 when recording.
    bool AddLinkAnnot(const ASFixedRect& rect, PDPage page);

    // out = the operators that stroke the rectangle (kStrokeRect), fill it
    // (kFillRect) or stroke its top edge from left to right (kStrokeTopEdge),
    // in the given colour (0..1), width (points) and dash style, under the
    // graphics state gsName, with the rectangle (left, top, right, bottom,
    // 16.16) mapped by matrix into page space. A width not greater than 0
    // answers false with out empty.
    bool WriteLineOperators(std::string& out, const ASFixedRect& rect, const ASFixedMatrix& matrix,
                            double width, int32_t dashStyle, double red, double green,
                            double blue, int32_t mode, const char* gsName) const;

protected:
    // Appends the colour operator: "%.2f g" / "%.2f G" when the three are
    // equal, else "%.2f %.2f %.2f rg" / "RG" (fill or stroke), and a blank.
    static void AppendColor(std::string& out, double red, double green, double blue, bool fill);
    // Appends the dash pattern of style for a line of width (points).
    static void AppendDash(std::string& out, int32_t style, double width);
    // The element's graphics state (/ca and /CA its two opacities) in cosDoc:
    // one indirect ExtGState per distinct state and document, made on first
    // use and shared by every page (undo removes pages' entries, never the
    // object). Raises what the host raises.
    CosObj OpacityStateFor(CosDoc cosDoc);
    // Records an addition for undo when the record-undo flag is set.
    void Record(int32_t pageIndex, int32_t kind, CosObj object, const char* resourceName,
                const char* name) const;
    // Records for undo (when the record-undo flag is set) that holder's entry
    // under key was before (null: none) and is now after.
    void RecordReplaced(CosObj holder, ASAtom key, CosObj before, CosObj after) const;
    // Records for undo (when the record-undo flag is set) that page pageIndex's
    // "Contents" before (pieces pieces) was wrapped in save and restore.
    void RecordWrapped(int32_t pageIndex, CosObj before, int32_t pieces, CosObj save, CosObj restore) const;
    // Keeps text as the error text (cut to kErrorTextCapacity on a character boundary).
    void SetErrorText(const char* text);
    // Keeps the text of the error-message buffer as the error text.
    void TakeErrorText();

    CPDFDocument* mDocument = nullptr;
    CPDFAction* mAction = nullptr;
    CPDFPlacement* mPlacement = nullptr;
    int32_t mContentPosition = kContentEnd;
    double mFillOpacity = 0.0;
    double mStrokeOpacity = 0.0;
    double mLineWidth = 0.0;
    double mLineRed = 0.0;
    double mLineGreen = 0.0;
    double mLineBlue = 0.0;
    int32_t mDashStyle = 0;
    bool mRecordUndo = false;
    std::string mErrorText;
    std::string mExhaustedNamePrefix;
    // Per dictionary and prefix, the number below which every name was found taken.
    // Names are only added while an element lives (undo runs between runs), so a
    // later search may start there: a shared, inherited resource dictionary that
    // gains a name per page is then searched once, not once per page.
    std::map<std::pair<uint64_t, std::string>, int32_t> mTakenBelow;
    // The dictionaries the element's resource entries go into, and their names.
    CPageResources mResources{[this](CosObj holder, ASAtom key, CosObj before, CosObj after) {
        RecordReplaced(holder, key, before, after);
    }};
    // The ExtGState objects made, per document and (fill, stroke) opacity.
    std::map<std::tuple<CosDoc, double, double>, CosObj> mOpacityStates;

private:
    // InsertPageContent for the page of index pageIndex (-1: the host is
    // asked for it when an undo record needs it).
    bool InsertPiece(CosDoc cosDoc, CosObj pageDict, const std::string& content, int32_t position,
                     int32_t pageIndex);
    // The stream for piece content on a page whose "Contents" is contents: a
    // recent one of equal bytes in cosDoc when the page does not hold it yet,
    // else a new one (which then becomes recent). Raises what the host raises.
    CosObj ContentStreamFor(CosDoc cosDoc, CosObj contents, const std::string& content);

    struct CRecentPiece {
        CosDoc cosDoc = nullptr;
        std::string content;
        CosObj stream{};
    };
    // The pieces made last, newest at the back; as many as one page can get
    // from one write (background, text, underline, border).
    static constexpr size_t kRecentPieces = 4;
    std::vector<CRecentPiece> mRecentPieces;
};
