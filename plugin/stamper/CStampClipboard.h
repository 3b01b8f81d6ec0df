// The stamp clipboard through which the stamp manager cuts, copies and pastes
// profiles and stamps. It holds one host cabinet with either one profile
// ("kClipboardProfile") or a list of stamps ("kClipboardStamp" + index, counted
// by "kClipboardNumberOfStamps"); it stores duplicates of what it is given, and
// the cabinets it hands out stay its own (callers duplicate what they keep).
//
// Host errors are thrown as their 16-bit codes.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"

inline constexpr const char kClipboardProfileKey[] = "kClipboardProfile";
inline constexpr const char kClipboardNumberOfStampsKey[] = "kClipboardNumberOfStamps";
inline constexpr const char kClipboardStampKey[] = "kClipboardStamp";
// Put by the stamp manager into a profile cabinet before it is copied: the
// copied profile's file path (a string).
inline constexpr const char kClipboardProfilePathKey[] = "kClipboardProfilePath";

class CStampClipboard {
public:
    enum State : int32_t {
        kEmpty = 0,
        kProfile = 1,
        kStamps = 2,
    };

    // Empty, with a new cabinet. Throws kErrNoMemory without the "ASExtra" table.
    CStampClipboard();
    // Destroys the cabinet.
    virtual ~CStampClipboard();
    CStampClipboard(const CStampClipboard&) = delete;
    CStampClipboard& operator=(const CStampClipboard&) = delete;

    State GetState() const { return mState; }

    // Empty again: the cabinet is replaced by a new one (handles handed out
    // before are stale afterwards).
    void Clear();
    // Holds a duplicate of the profile (state kProfile). Stamps held before stay
    // in the cabinet but cannot be reached. Answers true.
    bool SetProfile(ASCab inProfile);
    // Appends a duplicate of the stamp (state kStamps), after a Clear when a
    // profile is held. Answers true.
    bool AddStamp(ASCab inStamp);

    // The profile while one is held, else null.
    ASCab GetProfile() const;
    // The number of stamps held: "kClipboardNumberOfStamps" while stamps are
    // held, 0 otherwise (the count left from earlier stamps is not reachable).
    int32_t GetNumberOfStamps() const;
    // Stamp inIndex (from 0) while stamps are held, else null; null outside the list.
    ASCab GetStamp(int32_t inIndex) const;

private:
    State mState = kEmpty;
    ASCab mCab = nullptr;
};

// The plug-in's clipboard: made by the initialisation, deleted at unload; null
// in between those.
extern CStampClipboard* gStampClipboard;
