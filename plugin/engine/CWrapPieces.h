// CWrapPieces: the save and restore pieces that a run puts around each page's
// existing content before it stamps, so that the stamps are drawn in the
// page's initial graphics state whatever the content leaves behind.
//
// A page whose content leaves nothing open gets the document's one " q " and
// one " Q " stream, shared by every such page. A page that leaves saves, text
// objects or marked-content sequences open gets an end piece that closes them,
// newest first, before its restore; one whose restores pop below its start
// gets as many more saves in front, so that the wrapper's own pair stays
// matched. Equal pieces are one stream per document.
#pragma once

#include <map>
#include <string>

#include "engine/CContentReader.h"
#include "qmhost/QMBase.h"

class CWrapPieces {
public:
    struct Pair {
        CosObj save;     // the first piece of the page
        CosObj restore;  // the last piece of the page
    };

    // Makes the shared " q " and " Q " streams in cosDoc. Raises what the host raises.
    explicit CWrapPieces(CosDoc cosDoc);

    // The pieces for a page whose "Contents" is contents (null, a stream or an
    // array of streams, read as one content). Content that cannot be read
    // (data that does not decode) or followed to its end gets the shared pair.
    // Raises what the host raises while making a piece.
    Pair For(CosObj contents);

private:
    // The stream of content: made once, then shared.
    CosObj Piece(const std::string& content);

    CContentReader mReader;
    CosDoc mCosDoc;
    Pair mShared;
    std::map<std::string, CosObj> mMade;
};
