// CElementPageWriter: the one way the text, image and PDF-page elements write
// onto a page. Each resource the element's content uses gets a fresh name in
// its category of the page's resources (CPDFElement::MakeResourceName), is
// added to the page under that name and recorded for undo; the content pieces
// then go into the page's "Contents" at the element's content position.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "qmhost/QMBase.h"

class CPDFElement;

// What a resource entry is: its category in the page's resources, the prefix
// of its name and how undo records it.
struct ElementResource {
    const char* category;
    const char* prefix;
    int32_t undoKind;
    const char* undoName;
};

// The entries the elements add: a text's font, an image, a PDF page's form
// and the graphics state every element draws under.
extern const ElementResource kFontResource;
extern const ElementResource kImageResource;
extern const ElementResource kFormResource;
extern const ElementResource kStateResource;

class CElementPageWriter {
public:
    // How a missing "Resources" dictionary and its missing sub-dictionaries are
    // made: the text element makes direct ones, the image and PDF-page
    // elements indirect ones.
    enum class NewDicts { kDirect, kIndirect };

    // Acquires page pageIndex of element's document (the host is told that its
    // content changed when it is given back) and runs write(page) inside a
    // host frame. True when write ran through and answered true; otherwise the
    // element's error text takes the one-message error buffer's text and the
    // answer is false. The element must have a document with a PDF document.
    // When write has answered, the host may drop the handles of direct
    // objects it made in the document and put nowhere: no element keeps a
    // handle from one page's write for the next unless the document holds
    // its object (a cached object is checked with engine::IsLiveIn).
    static bool Run(CPDFElement& element, int32_t pageIndex, const std::function<bool(PDPage)>& write);

    // A write of element on page (index pageIndex, acquired by the caller).
    CElementPageWriter(CPDFElement& element, int32_t pageIndex, PDPage page, NewDicts made);

    CosDoc GetCosDoc() const { return mCosDoc; }
    CosObj GetPageDict() const { return mPageDict; }

    // Names object with the resource's prefix and the first free number in its
    // category of the page's effective resources (the page's own, else the
    // nearest inherited one, else a new one put on the page; a copy where the
    // form or an appearance shares them: CPageResources), adds it to the page
    // under that name and records it for undo (the element's record-undo
    // flag). A category that other pages share and that already holds object
    // from this element's write of another page keeps that entry and name.
    // outName = the name. False, with "本文档不能添加印章" in the
    // one-message error buffer and nothing added, when no name is left: an
    // existing entry is never replaced. Raises what the host raises.
    bool AddResource(const ElementResource& resource, CosObj object, std::string& outName);

    // Puts the pieces, given in drawing order, into the page's content at the
    // element's content position so that the page draws them in that order:
    // at the end first to last, at the front last to first (each goes to
    // index 0). Empty pieces are skipped; the first failed insertion stops the
    // rest and answers false.
    bool InsertPieces(std::initializer_list<std::reference_wrapper<const std::string>> inDrawingOrder);

private:
    // The page's effective resources, found (or made) on first use.
    CosObj Resources();

    CPDFElement& mElement;
    const int32_t mPageIndex;
    const PDPage mPage;
    const NewDicts mMade;
    const CosDoc mCosDoc;
    const CosObj mPageDict;
    CosObj mResources{};
    bool mHaveResources = false;
    // mResources is the page's alone (CPageResources::ResourcesOf).
    bool mResourcesPageOwn = false;
};
