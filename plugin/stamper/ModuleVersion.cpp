#include "stamper/ModuleVersion.h"

#include <dlfcn.h>
#include <elf.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

// Reads `size` bytes at `offset`; false when the file is shorter.
bool ReadAt(std::ifstream& file, uint64_t offset, void* out, size_t size) {
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(static_cast<char*>(out), static_cast<std::streamsize>(size));
    return file.good();
}

}  // namespace

bool ReadModuleVersionRecord(const std::string& path, unsigned outVersion[4]) {
    std::ifstream file(path, std::ios::binary);
    Elf64_Ehdr header;
    if (!file || !ReadAt(file, 0, &header, sizeof header)) return false;
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
        header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum)
        return false;
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    if (!ReadAt(file, header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr)))
        return false;
    const Elf64_Shdr& names = sections[header.e_shstrndx];
    if (names.sh_size > (1u << 20)) return false;
    std::vector<char> nameTable(names.sh_size + 1, '\0');
    if (!ReadAt(file, names.sh_offset, nameTable.data(), names.sh_size)) return false;
    for (const Elf64_Shdr& section : sections) {
        if (section.sh_name >= names.sh_size) continue;
        if (std::strcmp(&nameTable[section.sh_name], ".qm_version") != 0) continue;
        uint32_t record[4];
        if (section.sh_size < sizeof record || !ReadAt(file, section.sh_offset, record, sizeof record))
            return false;
        for (int i = 0; i < 4; ++i) outVersion[i] = record[i];
        return true;
    }
    return false;
}

std::string GetModuleFilePath() {
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&GetModuleFilePath), &info) && info.dli_fname)
        return info.dli_fname;
    return std::string();
}

void FormatVersion(char* buffer, size_t capacity, int code, unsigned a, unsigned b, unsigned c,
                   unsigned d) {
    if (!buffer || capacity == 0) return;
    if (code == 3 && c != 0) std::snprintf(buffer, capacity, "%u.%u.%u", a, b, c);
    else if (code == 3) std::snprintf(buffer, capacity, "%u.%u", a, b);
    else if (code == 4 && c != 0) std::snprintf(buffer, capacity, "%u.%u.%u [%u]", a, b, c, d);
    else if (code == 4) std::snprintf(buffer, capacity, "%u.%u [%u]", a, b, d);
    else std::snprintf(buffer, capacity, "%u.%u.%u.%u", a, b, c, d);
}

void GetModuleVersionString(char* buffer, size_t capacity, int code) {
    if (!buffer || capacity == 0) return;
    buffer[0] = '\0';
    std::string path = GetModuleFilePath();
    // A program's own name from dladdr may lack its folder.
    if (path.find('/') == std::string::npos) path = "/proc/self/exe";
    unsigned v[4];
    if (ReadModuleVersionRecord(path, v)) FormatVersion(buffer, capacity, code, v[0], v[1], v[2], v[3]);
}
