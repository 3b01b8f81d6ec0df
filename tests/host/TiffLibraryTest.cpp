// libtiff opened by the host on the first TIFF file: by the soname of the
// libtiff the build's headers belong to, with every function the reader calls;
// a file that cannot be opened, or is no libtiff, is refused naming it.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

#include "convert/TiffLibrary.h"
#include "qmhost/HostError.h"

namespace {

// The file of the loaded object that holds address.
std::string objectOf(const void* address) {
    Dl_info info{};
    return dladdr(address, &info) != 0 && info.dli_fname ? info.dli_fname : "";
}

TEST(TiffLibrary, OpensLibtiffAndRefusesOtherFilesNamingThem) {
    const struct {
        const char* name;
        const char* file;
        const char* refusal;  // null: opened
    } rows[] = {
        {"libtiff by its soname", qmhost::kTiffLibraryFile, nullptr},
        {"a file that is not there", "libqmtestnosuchtiff.so.6", "cannot be loaded"},
        // zlib is mapped already (qpdf needs it): opened, but without libtiff's functions.
        {"a library that is not libtiff", "libz.so.1", "has no function TIFF"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            const qmhost::TiffLibrary library = qmhost::openTiffLibrary(row.file);
            ASSERT_EQ(row.refusal, nullptr) << "opened";
            // Each function is libtiff's own: the one the tests link, not a namesake elsewhere.
            const std::string linked = objectOf(reinterpret_cast<const void*>(&TIFFGetVersion));
            ASSERT_NE(linked, "");
#define QMHOST_TIFF_CHECK(name) \
    EXPECT_EQ(objectOf(reinterpret_cast<const void*>(library.name)), linked) << #name;
            QMHOST_TIFF_FUNCTIONS(QMHOST_TIFF_CHECK)
#undef QMHOST_TIFF_CHECK
        } catch (const HostError& error) {
            ASSERT_NE(row.refusal, nullptr) << "refused: " << error.what();
            EXPECT_EQ(error.code(), kHostErrUnsupported);
            EXPECT_NE(std::string(error.what()).find(row.file), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find(row.refusal), std::string::npos) << error.what();
        }
    }
    EXPECT_EQ(objectOf(reinterpret_cast<const void*>(qmhost::tiffLibrary().TIFFClose)),
              objectOf(reinterpret_cast<const void*>(&TIFFClose)));
}

}  // namespace
