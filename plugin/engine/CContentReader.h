// CContentReader: a page's content read for a scan. The decoded data of each
// stream of a "Contents" (a stream, or an array of streams read as one
// content) is fed in order to a CContentBalance. Data under FlateDecode alone
// is inflated here (zlib) from the stored bytes, which costs a fraction of the
// host's general decoding, and a run reads every page; data under any other
// filter, or with decoding parameters, is decoded by the host.
#pragma once

#include "qmhost/QMBase.h"

class CContentBalance;

class CContentReader {
public:
    // Makes the atoms it needs. Raises what the host raises.
    CContentReader();

    // Feeds the data of contents (null: nothing) to balance. False when a
    // stream's data cannot be read or does not decode whole (balance is then
    // left part-fed).
    bool Read(CosObj contents, CContentBalance& balance) const;

private:
    enum class Coding { kStored, kFlate, kHost };

    Coding CodingOf(CosObj stream) const;
    // Raises what the host raises; false when Flate data does not inflate whole.
    bool Feed(CosObj stream, CContentBalance& balance) const;

    ASAtom mDecodeParms;
};
