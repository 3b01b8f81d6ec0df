#include "common/PageContentFixtures.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "common/Netpbm.h"
#include "common/PdfFixtures.h"
#include "common/QpdfFixtures.h"

namespace qmtest {
namespace {

QPDFObjectHandle parse(const std::string& text) { return QPDFObjectHandle::parse(text); }

QPDFObjectHandle rgbImage(QPDF& q) {
    const std::string pixels = std::string("\xff\x00\x00\x00\xff\x00", 6) + std::string("\x00\x00\xff\xff\xff\xff", 6);
    return newStreamWith(
        q, pixels,
        "<< /Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceRGB /BitsPerComponent 8 >>");
}

QPDFObjectHandle helvetica(QPDF& q) {
    return q.makeIndirectObject(parse("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
}

void save(QPDF& q, QPDFObjectHandle content, QPDFObjectHandle resources, const std::string& path) {
    writeWithPage(q, "0 0 200 200", content, resources, path, qpdf_s_uncompress);
}

const std::string kInlineGray = "BI /W 2 /H 2 /BPC 8 /CS /G ID " + std::string("\x00\x80\xc0\xff", 4) + " EI";

}  // namespace

void writeElementsPdf(const std::string& path) {
    QPDF q;
    q.emptyPDF();
    QPDFObjectHandle image = rgbImage(q);
    QPDFObjectHandle font = helvetica(q);
    QPDFObjectHandle fm2 = newStreamWith(q, "0 0 1 rg 0 0 20 20 re f\nq 10 0 0 10 25 0 cm " + kInlineGray + " Q\n",
                                         "<< /Type /XObject /Subtype /Form /BBox [0 0 40 40] /Resources << >> >>");
    QPDFObjectHandle fm1Resources = QPDFObjectHandle::newDictionary();
    QPDFObjectHandle fm1XObjects = QPDFObjectHandle::newDictionary();
    fm1XObjects.replaceKey("/Im1", image);
    fm1XObjects.replaceKey("/Fm2", fm2);
    fm1Resources.replaceKey("/XObject", fm1XObjects);
    QPDFObjectHandle fm1 =
        newStreamWith(q, "q 40 0 0 40 0 0 cm /Im1 Do Q\n/Fm2 Do\n",
                      "<< /Type /XObject /Subtype /Form /BBox [0 0 80 80] /Matrix [0.5 0 0 0.5 0 0] >>");
    fm1.getDict().replaceKey("/Resources", fm1Resources);

    QPDFObjectHandle resources = parse("<< /Properties << /P1 << /MCID 1 >> >> >>");
    QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
    fonts.replaceKey("/F1", font);
    resources.replaceKey("/Font", fonts);
    QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
    xobjects.replaceKey("/Im1", image);
    xobjects.replaceKey("/Fm1", fm1);
    resources.replaceKey("/XObject", xobjects);

    const std::string content =
        "q 1 0 0 RG 2 w 10 10 m 190 10 l S Q\n"
        "q 20 20 60 60 re W n 0 1 0 rg 0 0 200 200 re f Q\n"
        "BT /F1 12 Tf 100 150 Td (Hello) Tj ET\n"
        "/Span <</MCID 0>> BDC q 50 0 0 50 120 20 cm /Im1 Do Q EMC\n"
        "/P /P1 BDC BT /F1 10 Tf 20 180 Td (Marked) Tj ET EMC\n"
        "q 1 0 0 1 100 80 cm 0.707107 0.707107 -0.707107 0.707107 0 0 cm /Fm1 Do Q\n"
        "q 30 0 0 20 10 100 cm " + kInlineGray + " Q\n";
    save(q, QPDFObjectHandle::newStream(&q, content), resources, path);
}

void writeContentPdf(const std::string& path, const std::string& content, const std::string& formA,
                     const std::string& formB) {
    QPDF q;
    q.emptyPDF();
    QPDFObjectHandle resources = q.makeIndirectObject(QPDFObjectHandle::newDictionary());
    QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
    fonts.replaceKey("/F1", helvetica(q));
    resources.replaceKey("/Font", fonts);
    QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
    xobjects.replaceKey("/Im1", rgbImage(q));
    const std::pair<const char*, const std::string*> forms[] = {{"/FmA", &formA}, {"/FmB", &formB}};
    for (auto [name, body] : forms) {
        if (body->empty()) continue;
        QPDFObjectHandle form = newStreamWith(q, *body, "<< /Type /XObject /Subtype /Form /BBox [0 0 200 200] >>");
        form.getDict().replaceKey("/Resources", resources);
        xobjects.replaceKey(name, form);
    }
    resources.replaceKey("/XObject", xobjects);
    save(q, QPDFObjectHandle::newStream(&q, content), resources, path);
}

namespace {

// The first page drawn in colour; an empty image when it cannot be drawn.
Netpbm render(const std::string& path, int dpi) {
    FixtureFolder folder;
    const std::string prefix = folder.file("page");
    const std::string command = "pdftoppm -r " + std::to_string(dpi) + " -f 1 -l 1 -singlefile " +
                                shellQuote(path) + " " + shellQuote(prefix);
    if (runCommand(command).status != 0) return {};
    try {
        const Netpbm image = readNetpbm(prefix + ".ppm");
        return image.components == 3 ? image : Netpbm{};
    } catch (const std::runtime_error&) {
        return {};
    }
}

}  // namespace

double pixelDifference(const std::string& a, const std::string& b, int dpi, int tolerance) {
    const Netpbm one = render(a, dpi), two = render(b, dpi);
    if (one.width == 0 || one.height == 0 || one.width != two.width || one.height != two.height) return 1;
    size_t differing = 0;
    for (int y = 0; y < one.height; ++y)
        for (int x = 0; x < one.width; ++x)
            for (int c = 0; c < 3; ++c)
                if (std::abs(one.sample(x, y, c) - two.sample(x, y, c)) > tolerance) {
                    ++differing;
                    break;
                }
    return static_cast<double>(differing) / (static_cast<double>(one.width) * static_cast<double>(one.height));
}

Rgb pixelAt(const std::string& path, double x, double y, int dpi) {
    const Netpbm image = render(path, dpi);
    if (image.width == 0 || image.height == 0) return {};
    const int px = std::clamp(static_cast<int>(x * dpi / 72.0), 0, image.width - 1);
    const int py = std::clamp(image.height - 1 - static_cast<int>(y * dpi / 72.0), 0, image.height - 1);
    return {image.sample(px, py, 0), image.sample(px, py, 1), image.sample(px, py, 2)};
}

}  // namespace qmtest
