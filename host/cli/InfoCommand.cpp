#include "cli/InfoCommand.h"

#include <cstdio>

#include "HostTables.h"
#include "support/TerminalText.h"
#include "cli/GlobalOptions.h"
#include "cli/OpenDocuments.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"

namespace qmcli {
namespace {

double Points(ASFixed value) { return value / 65536.0; }

void PrintPage(const PDModelTable* pd, PDDoc doc, int32_t number) {
    PDPage page = pd->docAcquirePage(doc, number);
    ASFixedRect box;
    pd->pageGetBox(page, &box);
    ASFixedMatrix m;
    pd->pageGetDefaultMatrix(page, &m);
    pd->pageRelease(page);
    // The rotation is read back from the default matrix's first column.
    const int rotation = m.a > 0 ? 0 : m.b < 0 ? 90 : m.a < 0 ? 180 : 270;
    // Sizes are taken in points: the difference of two fixed values can leave
    // the fixed range for boxes near its ends.
    std::printf("page %d: box [%.2f %.2f %.2f %.2f] %.2f x %.2f pt, rotated %d\n", number + 1,
                Points(box.left), Points(box.bottom), Points(box.right), Points(box.top),
                Points(box.right) - Points(box.left), Points(box.top) - Points(box.bottom), rotation);
}

}  // namespace

int RunInfo(const std::string& path) {
    qmhost::registerHostTables();
    const PDModelTable* pd = qmhost::pdModelTable();
    PDDoc doc = nullptr;
    try {
        doc = OpenPdfFile(path);
        const int32_t count = pd->docGetNumPages(doc);
        std::printf("%s: %d page%s\n", qmhost::EscapeControlCharacters(path).c_str(), count, count == 1 ? "" : "s");
        for (int32_t i = 0; i < count; ++i) PrintPage(pd, doc, i);
        pd->docClose(doc);
        return 0;
    } catch (const HostError& error) {
        if (doc) pd->docClose(doc);
        PrintError(error.what());
        return 1;
    }
}

}  // namespace qmcli
