// The module's version record: four 32-bit numbers a.b.c.d in the ELF section
// ".qm_version", read back from the module's file by GetModuleVersionString.
#include <cstdint>

extern "C" __attribute__((section(".qm_version"), used, visibility("hidden")))
const uint32_t QmVersionRecord[4] = {QM_VERSION_MAJOR, QM_VERSION_MINOR, QM_VERSION_PATCH,
                                     QM_VERSION_TWEAK};
