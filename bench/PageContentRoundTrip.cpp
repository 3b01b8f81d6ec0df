// Benchmark helper: reads the content of every page of a document into the
// host's page-content model, writes it back as the page's content and saves
// the document, as a plug-in that rewrites every page would.
//   qm_bench_pagecontent IN.pdf OUT.pdf
#include <cstdio>
#include <string>

#include "HostTables.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "qmhost/PagePDEContentTable.h"
#include "pde/PageContentTables.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: qm_bench_pagecontent IN.pdf OUT.pdf\n");
        return 2;
    }
    try {
        qmhost::registerHostTables();
        const AppSupportTable& support = *qmhost::appSupportTable();
        const PDModelTable& model = *qmhost::pdModelTable();
        const PagePDEContentTable& pages = *qmhost::pagePDEContentTable();
        ExtensionID extension = reinterpret_cast<ExtensionID>(uintptr_t{1});
        ASPathName in = support.pathFromText(argv[1]);
        ASPathName out = support.pathFromText(argv[2]);
        PDDoc doc = model.docOpen(in);
        const int32_t count = model.docGetNumPages(doc);
        for (int32_t i = 0; i < count; ++i) {
            PDPage page = model.docAcquirePage(doc, i);
            pages.pageAcquirePDEContent(page, extension);
            pages.pageSetPDEContent(page, extension);
            pages.pageReleasePDEContent(page, extension);
            model.pageRelease(page);
        }
        model.docSave(doc, out);
        model.docClose(doc);
        support.releasePath(in);
        support.releasePath(out);
    } catch (const HostError& e) {
        std::fprintf(stderr, "qm_bench_pagecontent: %s\n", e.what());
        return 1;
    }
    return 0;
}
