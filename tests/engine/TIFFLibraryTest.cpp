// libtiff opened on first use: by the soname of the libtiff the build's
// headers belong to, with every function the image types call; a file that
// cannot be opened, or is no libtiff, is refused with a message that names it.
// The handlers the image type installs into libtiff, which outlives the module,
// are taken out again when the plug-in unloads.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>
#include <vector>

#include "EngineFixture.h"
#include "common/PluginFixture.h"
#include "engine/CImageType.h"
#include "engine/CTIFFImageType.h"
#include "engine/TIFFLibrary.h"
#include "support/ErrorMessage.h"

namespace {

// The file of the loaded object that holds address.
std::string ObjectOf(const void* address) {
    Dl_info info{};
    return dladdr(address, &info) != 0 && info.dli_fname ? info.dli_fname : "";
}

TEST(TIFFLibrary, OpensLibtiffAndRefusesOtherFilesNamingThem) {
    enginetest::StartEngine();
    const struct {
        const char* name;
        const char* file;
        const char* refusal;  // null: opened
    } rows[] = {
        {"libtiff by its soname", kTIFFLibraryFile, nullptr},
        {"a file that is not there", "libqmtestnosuchtiff.so.6", "cannot be loaded"},
        // zlib is mapped already (qpdf needs it): opened, but without libtiff's functions.
        {"a library that is not libtiff", "libz.so.1", "has no function TIFF"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        qmtest::TakeAlerts();
        ClearErrorMessage();
        try {
            const TIFFLibrary library = OpenTIFFLibrary(row.file);
            ASSERT_EQ(row.refusal, nullptr) << "opened";
            // Each function is libtiff's own: the one the tests link, not a namesake elsewhere.
            const std::string linked = ObjectOf(reinterpret_cast<const void*>(&TIFFGetVersion));
            ASSERT_NE(linked, "");
#define QM_TIFF_CHECK(name) EXPECT_EQ(ObjectOf(reinterpret_cast<const void*>(library.name)), linked) << #name;
            QM_TIFF_FUNCTIONS(QM_TIFF_CHECK)
#undef QM_TIFF_CHECK
            EXPECT_TRUE(qmtest::TakeAlerts().empty());
        } catch (ErrorCode code) {
            ASSERT_NE(row.refusal, nullptr) << "refused: " << GetErrorMessage();
            EXPECT_EQ(code, kErrImageRead);
            const std::string message = GetErrorMessage();
            EXPECT_NE(message.find(row.file), std::string::npos) << message;
            EXPECT_NE(message.find(row.refusal), std::string::npos) << message;
            // The user is shown the same text.
            EXPECT_EQ(qmtest::TakeAlerts(), std::vector<std::string>{message});
        }
    }
    // The table kept for the process is libtiff's.
    EXPECT_EQ(ObjectOf(reinterpret_cast<const void*>(GetTIFFLibrary().TIFFOpen)),
              ObjectOf(reinterpret_cast<const void*>(&TIFFOpen)));
}

// The handler that set (TIFFSetErrorHandler or TIFFSetWarningHandler) replaces, left in place.
TIFFErrorHandler CurrentHandler(TIFFErrorHandler (*set)(TIFFErrorHandler)) {
    const TIFFErrorHandler current = set(nullptr);
    set(current);
    return current;
}

void OtherHandler(const char*, const char*, va_list) {}

TEST(TIFFLibrary, RemovedHandlersGiveLibtiffBackWhatItHadBefore) {
    enginetest::StartEngine();
    const struct {
        const char* name;
        TIFFErrorHandler (*set)(TIFFErrorHandler);
    } rows[] = {{"errors", &TIFFSetErrorHandler}, {"warnings", &TIFFSetWarningHandler}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CTIFFImageType::RemoveHandlers();
        const TIFFErrorHandler before = CurrentHandler(row.set);
        CTIFFImageType::InstallHandlers();
        const TIFFErrorHandler ours = CurrentHandler(row.set);
        EXPECT_NE(ours, before);
        CTIFFImageType::InstallHandlers();  // once: what it replaced is still kept
        CTIFFImageType::RemoveHandlers();
        EXPECT_EQ(CurrentHandler(row.set), before);
        CTIFFImageType::RemoveHandlers();  // nothing installed: nothing changes
        EXPECT_EQ(CurrentHandler(row.set), before);
        // A handler set over ours by someone else stays theirs.
        CTIFFImageType::InstallHandlers();
        row.set(OtherHandler);
        CTIFFImageType::RemoveHandlers();
        EXPECT_EQ(CurrentHandler(row.set), &OtherHandler);
        row.set(before);
        // Installed again by the next image type, as the first time.
        CTIFFImageType type;
        EXPECT_EQ(CurrentHandler(row.set), ours);
    }
}

}  // namespace
