// The registry of tag types: which reader makes a tag from a record of a given
// type. A preferences reader needs only the types that were registered and
// keeps records of any other type as memory tags (their bytes as read).
//
// One registry exists for the process. It is filled once at initialisation,
// before any preferences file is read, and only read afterwards (all on the
// host's user-interface thread).
#pragma once

#include <cstdint>
#include <memory>

#include "support/CBridgeArray.h"
#include "support/prefs/CPreferencesTag.h"

class CBridgeStream;

// Makes a tag from a record whose 12-byte header has been read: the stream is
// at the payload, which lies within ioContext.limit. Answers the new tag (owned
// by the caller); throws kErrPrefsDamaged (with ioContext.problem set) for a
// record it cannot take, or another error code.
typedef std::unique_ptr<CPreferencesTag> (*PrefTagReader)(uint32_t inId, uint32_t inType,
                                                          uint32_t inSize, CBridgeStream& ioStream,
                                                          PrefReadContext& ioContext);

struct PrefTagRegistration {
    uint32_t type;
    PrefTagReader reader;
};

// The registrations in the order they were made; owns them.
class CRegisteredPrefTagArray : public CBridgeArray {
public:
    CRegisteredPrefTagArray();
    ~CRegisteredPrefTagArray() override;  // frees the registrations

    CRegisteredPrefTagArray(const CRegisteredPrefTagArray&) = delete;
    CRegisteredPrefTagArray& operator=(const CRegisteredPrefTagArray&) = delete;

    // Appends a registration; repeats are not checked.
    void Register(uint32_t inType, PrefTagReader inReader);
    // The reader of the first registration of the type; null when none.
    PrefTagReader Find(uint32_t inType) const;
    // The registration at the index; null when there is none.
    const PrefTagRegistration* RegistrationAt(int32_t inIndex) const;
    // Frees every registration.
    void Clear();
};

// The process's registry.
CRegisteredPrefTagArray& GetRegisteredPrefTagTypes();

// Registers a reader for the type (throws kErrNoMemory when it cannot).
void RegisterPrefTagType(uint32_t inType, PrefTagReader inReader);
// The reader of the first registration of the type; null when none.
PrefTagReader FindPrefTagReader(uint32_t inType);
// Frees every registration (at unload; tests start from a known registry).
void UnregisterPrefTagTypes();

// Registers the readers of the plug-in's tag classes, in this order: 'mark',
// 'long', 'pont', 'file', 'flot', 'bool', 'rect', 'strn', 'pref'. 'memy' is not
// registered: such records come back as memory tags like any unknown type.
// Called once by the initialisation, before the preferences file is read.
void RegisterPreferenceTagTypes();
