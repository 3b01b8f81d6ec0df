// The module's version record: four 32-bit numbers a.b.c.d in the ELF section
// ".qm_version", read back from the module's file by GetModuleVersionString.
// Nothing in the module refers to it, so it is marked to be kept by the link's
// garbage collection of sections (retain) as well as by the compiler (used).
#include <cstdint>

extern "C" __attribute__((section(".qm_version"), used, retain, visibility("hidden")))
const uint32_t QmVersionRecord[4] = {QM_VERSION_MAJOR, QM_VERSION_MINOR, QM_VERSION_PATCH,
                                     QM_VERSION_TWEAK};
