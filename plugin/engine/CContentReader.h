// CContentReader: a page's content read for a scan. The decoded data of each
// stream of a "Contents" (a stream, or an array of streams read as one
// content) is fed in order to a CContentBalance. Data under FlateDecode alone
// is inflated here (zlib) from the stored bytes, which costs a fraction of the
// host's general decoding, and a run reads every page; data under any other
// filter, or with decoding parameters, is decoded by the host.
#pragma once

#include <memory>

#include "qmhost/QMBase.h"

class CContentBalance;
struct z_stream_s;

class CContentReader {
public:
    // Makes the atoms it needs. Raises what the host raises.
    CContentReader();
    ~CContentReader();
    CContentReader(const CContentReader&) = delete;
    CContentReader& operator=(const CContentReader&) = delete;

    // Feeds the data of contents (null: nothing) to balance. False when a
    // stream's data cannot be read or does not decode whole (balance is then
    // left part-fed).
    bool Read(CosObj contents, CContentBalance& balance);

private:
    enum class Coding { kStored, kFlate, kHost };

    Coding CodingOf(CosObj stream) const;
    // Raises what the host raises; false when Flate data does not inflate whole.
    bool Feed(CosObj stream, CContentBalance& balance);
    // Inflates zlib data to its end; false when it is damaged or cut short.
    bool InflateAll(ASStm data, CContentBalance& balance);

    ASAtom mDecodeParms;
    std::unique_ptr<z_stream_s> mInflater;
    bool mInflaterReady = false;
};
