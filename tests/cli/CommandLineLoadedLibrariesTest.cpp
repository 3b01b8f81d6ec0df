// The command-line program runs headless: it links no Qt library, no poppler,
// nor FreeType, fontconfig or HarfBuzz, and a run loads them only where the
// plug-in module or a host library opened on demand needs them; the module
// itself needs none, and what a module brings stays loaded when it is unloaded.
// Reading a PNG or GIF file for an image stamp opens the host's image reader
// library on demand, without an application object, and the stamp is placed
// with the file's pixels; a stamp in a system font opens its fonts library,
// which reads the font with FreeType, and the font is embedded; a stamp in a
// standard font maps no FreeType. libtiff, and the codec libraries it needs,
// are mapped only by a run that reads a TIFF file: the host's conversion or,
// for an older host, the module's own image reader opens it, and the stamp is
// placed.
#include <QImage>
#include <dlfcn.h>
#include <tiffio.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "CommandLineFixture.h"
#include "host/ImageTestFiles.h"

namespace clitest {
namespace {

using qmtest::runCommand;

// The base names of the files in ldd's or the loader's report, on lines that
// hold `also` too.
std::set<std::string> baseNames(const std::string& report, const std::string& marker, const std::string& also = "") {
    std::set<std::string> names;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        const size_t at = line.find(marker);
        if (at == std::string::npos || line.find(also) == std::string::npos) continue;
        std::string name = line.substr(at + marker.size());
        name = name.substr(0, name.find_first_of(" \t"));
        names.insert(name.substr(name.rfind('/') + 1));
    }
    return names;
}

// The libraries a file needs, as ldd lists them ("libX.so.6 => /path ...").
std::set<std::string> linkedLibraries(const std::string& file) {
    const auto run = runCommand("ldd " + qmtest::shellQuote(file) + " | sed 's/^[[:space:]]*/=/'");
    return baseNames(run.output, "=");
}

bool holdsLibrary(const std::set<std::string>& names, const std::string& stem) {
    for (const std::string& name : names)
        if (name.rfind(stem, 0) == 0) return true;
    return false;
}

// The file of the loaded object that holds address.
std::string objectOf(const void* address) {
    Dl_info info{};
    return dladdr(address, &info) != 0 && info.dli_fname ? info.dli_fname : "";
}

// Loaded only where a run needs them: Qt Gui, poppler, and what reads, finds
// and subsets fonts.
const std::vector<std::string> kOnDemandLibraries = {
    "libQt6Gui.so",     "libQt6Widgets.so", "libpoppler-qt6.so",     "libpoppler.so",   "libfreetype.so",
    "libfontconfig.so", "libharfbuzz.so",   "libharfbuzz-subset.so", "libgraphite2.so", "libexpat.so"};
const std::vector<std::string> kHostOnDemand = {"libqmhostdraw.so", "libqmhostimages.so", "libqmhostfonts.so"};

class LoadedLibraries : public CommandLineTest {
protected:
    // The libraries the loader opened during `quillmark ARGS`, with its status;
    // those it unloaded before the end in *unloaded.
    std::set<std::string> LoadedBy(const std::string& args, int* status, std::set<std::string>* unloaded) {
        const std::string prefix = File("loader");
        runCommand("rm -f " + Q(prefix) + ".*");
        *status = runCommand("LD_DEBUG=files LD_DEBUG_OUTPUT=" + Q(prefix) + " " + Q(QM_TEST_CLI_PATH) +
                             " --plugin-dir " + Q(Plugins()) + " " + args)
                      .status;
        const std::string report = runCommand("cat " + Q(prefix) + ".*").output;
        *unloaded = baseNames(report, "file=", "destroying link map");
        return baseNames(report, "file=");
    }
};

TEST_F(LoadedLibraries, HeadlessRunsLoadOnlyWhatTheirWorkNeeds) {
    qmtest::writeSimplePdf(File("in.pdf"), 2);
    // A PNG file made by poppler's tools, independently of the host's readers.
    ASSERT_EQ(runCommand("pdftoppm -png -r 10 -singlefile " + Q(File("in.pdf")) + " " + Q(File("logo"))).status, 0);
    ASSERT_EQ(runCommand("pdftoppm -tiff -r 10 -singlefile " + Q(File("in.pdf")) + " " + Q(File("logo"))).status, 0);
    ImportProfile("Bates", R"({"kNumberOfStamps": 1, "kStamp0": {"kStampType": 0, "kStampNameE": "Bates",
        "kTextE": "QM-$BatesNo[1]", "kSizeE": 11, "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0,
        "kHorizontalS": 0.5, "kVerticalS": 0.5}})");
    // A GIF (read through a Qt image plug-in) of two colours: red on the left
    // half, blue on the right.
    const std::vector<uint8_t> palette = {255, 0, 0, 0, 0, 255};
    std::string indices;
    for (int y = 0; y < 8; ++y) indices += std::string(4, '\0') + std::string(4, '\1');
    qmtest::writeBytes(File("halves.gif"), imagetest::encodeGif(8, 8, palette, indices));
    for (const auto& [profile, image] :
         {std::pair{"Logo", "logo.png"}, std::pair{"Gif", "halves.gif"}, std::pair{"TiffLogo", "logo.tif"}})
        ImportProfile(profile, R"({"kNumberOfStamps": 1, "kStamp0": {"kStampType": 1, "kStampNameE": "Logo",
            "kSelectFileE": ")" + File(image) + R"(", "kSizeS": 50, "kOpacityS": 100, "kOverlay": true,
            "kHorizontalS": 2.0, "kVerticalS": 2.0}})");
    ImportProfile("Chinese", R"({"kNumberOfStamps": 1, "kStamp0": {"kStampType": 0, "kStampNameE": "Bates",
        "kTextE": "证据第$BatesNo[1]页", "kTypeC": 1, "kStyleSystemC": "WenQuanYi Micro Hei", "kEmbedCH": true,
        "kSizeE": 11, "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0, "kHorizontalS": 0.5,
        "kVerticalS": 0.5}})");
    // Neither the program nor the module links a GUI or drawing library; what
    // the module needs comes with it, the host adds nothing of its own. The
    // first run installs the module into the plug-ins folder.
    ASSERT_EQ(Cli("--version").status, 0);
    const std::set<std::string> program = linkedLibraries(QM_TEST_CLI_PATH);
    const std::set<std::string> module = linkedLibraries(Plugins() + "/Quillmark.api");
    ASSERT_TRUE(holdsLibrary(program, "libqpdf.so")) << "ldd read nothing";
    EXPECT_FALSE(holdsLibrary(program, "libQt6")) << "the program links Qt";
    ASSERT_FALSE(module.empty());
    for (const std::string& library : kOnDemandLibraries)
        EXPECT_FALSE(holdsLibrary(program, library) || holdsLibrary(module, library)) << library;
    // Nor libtiff: it is opened by the first TIFF file read. What it alone
    // brings (its codecs' libraries) is mapped by such a run only.
    EXPECT_FALSE(holdsLibrary(program, "libtiff.so") || holdsLibrary(module, "libtiff.so"));
    const std::string libtiff = objectOf(reinterpret_cast<const void*>(&TIFFGetVersion));
    ASSERT_NE(libtiff, "");
    std::set<std::string> tiffOnly = linkedLibraries(libtiff);
    tiffOnly.insert(libtiff.substr(libtiff.rfind('/') + 1));
    ASSERT_TRUE(holdsLibrary(tiffOnly, "libtiff.so")) << "ldd read nothing";
    for (const std::string& library : program) tiffOnly.erase(library);
    for (const std::string& library : module) tiffOnly.erase(library);
    const std::string hostLibraries = std::string(QM_TEST_CLI_PATH).substr(0, std::string(QM_TEST_CLI_PATH).rfind('/')) + "/../lib/";
    // FreeType comes with the fonts library alone, so a run maps it exactly
    // when that library is opened.
    EXPECT_TRUE(holdsLibrary(linkedLibraries(hostLibraries + "libqmhostfonts.so"), "libfreetype.so"));

    const auto stamp = [&](const char* profile, const char* out) {
        return std::string("stamp --profile ") + profile + " " + Q(File("in.pdf")) + " -o " + Q(File(out));
    };
    const struct {
        const char* name;
        std::string args;
        std::vector<std::string> loads;  // host libraries the run needs
        int images;                      // images in the output (-1: no output)
        const char* embeddedFont;        // a font the output embeds as a subset, or null
        bool readsTiff;
    } rows[] = {
        {"version", "--version", {}, -1, nullptr, false},
        // Helvetica measured from its metrics file: no fonts library, no FreeType.
        {"Bates stamp", stamp("Bates", "bates.pdf"), {}, 0, nullptr, false},
        {"PNG image stamp", stamp("Logo", "logo.pdf"), {"libqmhostimages.so"}, 2, nullptr, false},
        {"GIF image stamp", stamp("Gif", "halves.pdf"), {"libqmhostimages.so"}, 2, nullptr, false},
        {"TIFF image stamp, converted by the host", stamp("TiffLogo", "tiff.pdf"), {}, 2, nullptr, true},
        {"TIFF image stamp, read by the module for an older host",
         "--host-version 5 " + stamp("TiffLogo", "tiff5.pdf"), {}, 2, nullptr, true},
        {"system font stamp", stamp("Chinese", "chinese.pdf"), {"libqmhostfonts.so"}, 0, "WenQuanYiMicroHei",
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        int status = -1;
        std::set<std::string> unloaded;
        const std::set<std::string> loaded = LoadedBy(row.args, &status, &unloaded);
        ASSERT_EQ(status, 0);
        // The module is unloaded at the end; the Qt libraries it brought stay.
        EXPECT_TRUE(unloaded.count("Quillmark.api"));
        EXPECT_FALSE(holdsLibrary(unloaded, "libQt6"));
        ASSERT_TRUE(holdsLibrary(loaded, "libqpdf.so")) << "the loader's report was not read";
        std::set<std::string> needed = module;
        for (const std::string& onDemand : row.loads) needed.merge(linkedLibraries(hostLibraries + onDemand));
        for (const std::string& library : kOnDemandLibraries)
            EXPECT_EQ(holdsLibrary(loaded, library), holdsLibrary(needed, library)) << library;
        for (const std::string& library : kHostOnDemand)
            EXPECT_EQ(holdsLibrary(loaded, library),
                      std::find(row.loads.begin(), row.loads.end(), library) != row.loads.end())
                << library;
        for (const std::string& library : tiffOnly)
            EXPECT_EQ(loaded.count(library) != 0, row.readsTiff || needed.count(library) != 0) << library;
        // libtiff stays loaded after the module, which may have opened it.
        EXPECT_FALSE(holdsLibrary(unloaded, "libtiff.so"));
        if (row.images < 0) continue;
        const std::string out = row.args.substr(row.args.rfind(' ') + 1);
        const auto listed = runCommand("pdfimages -list " + out + " | tail -n +3 | wc -l");
        EXPECT_EQ(std::stoi(listed.output), row.images) << runCommand("pdfimages -list " + out).output;
        if (!row.embeddedFont) continue;
        // pdffonts: "ABCDEF+Name  CID TrueType  Identity-H  yes yes yes ..." (embedded, subset).
        const std::string fonts = runCommand("pdffonts " + out).output;
        EXPECT_TRUE(std::regex_search(fonts, std::regex(std::string(R"(\n[A-Z]{6}\+)") + row.embeddedFont +
                                                         R"( .* yes +yes +yes )")))
            << fonts;
    }
    // The GIF's pixels, as poppler's tools take the image out of the file.
    ASSERT_EQ(runCommand("pdfimages -png -f 1 -l 1 " + Q(File("halves.pdf")) + " " + Q(File("taken"))).status, 0);
    const QImage taken(QString::fromStdString(File("taken-000.png")));
    ASSERT_EQ(taken.size(), QSize(8, 8));
    EXPECT_EQ(taken.pixelColor(1, 4), QColor(255, 0, 0));
    EXPECT_EQ(taken.pixelColor(6, 4), QColor(0, 0, 255));
}

}  // namespace
}  // namespace clitest
