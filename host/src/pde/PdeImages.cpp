// Images and colour spaces of the page-content model: an inline image's
// abbreviated dictionary expanded, attributes, decoded samples and palettes.
#include <mutex>

#include <qpdf/QPDF.hh>
#include <qpdf/QUtil.hh>

#include "core/Raise.h"
#include "pde/PdeModel.h"

namespace qmhost {
namespace {

const std::map<std::string, std::string>& keyNames() {
    static const std::map<std::string, std::string> names = {
        {"/BPC", "/BitsPerComponent"}, {"/CS", "/ColorSpace"}, {"/D", "/Decode"}, {"/DP", "/DecodeParms"},
        {"/F", "/Filter"}, {"/H", "/Height"}, {"/IM", "/ImageMask"}, {"/I", "/Interpolate"},
        {"/W", "/Width"}, {"/L", "/Length"}};
    return names;
}

std::string valueName(const std::string& name) {
    static const std::map<std::string, std::string> names = {
        {"/G", "/DeviceGray"}, {"/RGB", "/DeviceRGB"}, {"/CMYK", "/DeviceCMYK"}, {"/I", "/Indexed"},
        {"/AHx", "/ASCIIHexDecode"}, {"/A85", "/ASCII85Decode"}, {"/LZW", "/LZWDecode"},
        {"/Fl", "/FlateDecode"}, {"/RL", "/RunLengthDecode"}, {"/CCF", "/CCITTFaxDecode"},
        {"/DCT", "/DCTDecode"}};
    auto it = names.find(name);
    return it == names.end() ? name : it->second;
}

QPDFObjectHandle expandValue(QPDFObjectHandle value) {
    if (value.isName()) return QPDFObjectHandle::newName(valueName(value.getName()));
    if (value.isArray()) {
        QPDFObjectHandle made = QPDFObjectHandle::newArray();
        for (auto& item : value.aitems()) made.appendItem(expandValue(item));
        return made;
    }
    return value;
}

bool isDeviceFamily(const std::string& name) {
    return name == "/DeviceGray" || name == "/DeviceRGB" || name == "/DeviceCMYK" || name == "/Pattern";
}

int familyComponents(const std::string& family) {
    if (family == "/DeviceGray" || family == "/CalGray" || family == "/Indexed" || family == "/Separation") return 1;
    if (family == "/DeviceRGB" || family == "/CalRGB" || family == "/Lab") return 3;
    if (family == "/DeviceCMYK") return 4;
    return 0;
}

// Stream data of a detached dictionary and bytes, decoded by qpdf in a scratch document.
std::string decodeDetached(QPDFObjectHandle dict, const std::string& data) {
    static std::mutex lock;
    static QPDF* scratch = [] {
        auto* q = new QPDF;  // kept for the process: decoding needs an owning document
        q->emptyPDF();
        q->setSuppressWarnings(true);
        return q;
    }();
    std::lock_guard<std::mutex> guard(lock);
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(scratch, data);
    // Copied as text: a dictionary read from a page belongs to the page's document,
    // which the scratch document's stream cannot hold.
    for (const char* key : {"/Filter", "/DecodeParms"})
        if (dict.hasKey(key)) stream.getDict().replaceKey(key, QPDFObjectHandle::parse(dict.getKey(key).unparse()));
    auto buffer = stream.getStreamData(qpdf_dl_all);
    return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
}

}  // namespace

QPDFObjectHandle PdeImage::dictionary() const {
    if (xobject.isStream()) return xobject.getDict();
    QPDFObjectHandle made = QPDFObjectHandle::newDictionary();
    if (!inlineDict.isDictionary()) return made;
    for (auto& [key, value] : inlineDict.ditems()) {
        auto it = keyNames().find(key);
        made.replaceKey(it == keyNames().end() ? key : it->second, expandValue(value));
    }
    return made;
}

PDEImageAttrs PdeImage::attributes() const {
    PDEImageAttrs attrs{};
    QPDFObjectHandle dict = dictionary();
    auto intOf = [&](const char* key) {
        QPDFObjectHandle v = dict.getKey(key);
        return v.isInteger() ? static_cast<int32_t>(std::clamp<long long>(v.getIntValue(), 0, INT32_MAX)) : 0;
    };
    attrs.width = intOf("/Width");
    attrs.height = intOf("/Height");
    const bool mask = dict.getKey("/ImageMask").isBool() && dict.getKey("/ImageMask").getBoolValue();
    attrs.bitsPerComponent = mask ? 1 : intOf("/BitsPerComponent");
    if (xobject.isStream()) attrs.flags |= kPDEImageExternal;
    if (mask) attrs.flags |= kPDEImageIsMask;
    if (dict.getKey("/Interpolate").isBool() && dict.getKey("/Interpolate").getBoolValue())
        attrs.flags |= kPDEImageInterpolate;
    QPDFObjectHandle decode = dict.getKey("/Decode");
    if (decode.isArray())
        for (auto& item : decode.aitems())
            if (item.isNumber() && attrs.decodeCount < 8)
                attrs.decode[attrs.decodeCount++] = static_cast<ASFixed>(item.getNumericValue() * 65536.0);
    return attrs;
}

std::string PdeImage::decodedData() const {
    try {
        if (xobject.isStream()) {
            auto buffer = xobject.getStreamData(qpdf_dl_all);
            return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
        }
        QPDFObjectHandle dict = dictionary();
        std::string data = dict.hasKey("/Filter") ? decodeDetached(dict, inlineData) : inlineData;
        // An inline image's data runs up to EI, whitespace included: keep the samples only.
        const PDEImageAttrs attrs = attributes();
        int comps = (attrs.flags & kPDEImageIsMask) ? 1 : const_cast<PdeImage*>(this)->colorSpace()->components();
        const size_t want = imageSampleBytes(attrs, comps).value_or(0);
        if (want && data.size() > want) data.resize(want);
        return data;
    } catch (const HostError&) {
        throw;
    } catch (const std::exception& e) {
        raise(kHostErrFilter, std::string("the image's samples cannot be decoded: ") + e.what());
    }
}

std::optional<size_t> PdeImage::storedDataLength() {
    QPDFObjectHandle dict = dictionary();
    QPDFObjectHandle filter = dict.getKey("/Filter");
    if (!filter.isNull() && !(filter.isArray() && filter.getArrayNItems() == 0)) return std::nullopt;
    const PDEImageAttrs attrs = attributes();
    const bool mask = attrs.flags & kPDEImageIsMask;
    const int bpc = attrs.bitsPerComponent;
    if (attrs.width <= 0 || attrs.height <= 0 || (bpc != 1 && bpc != 2 && bpc != 4 && bpc != 8 && bpc != 16)) return std::nullopt;
    if (!mask && !dict.hasKey("/ColorSpace")) return std::nullopt;
    const int comps = mask ? 1 : colorSpace()->components();
    if (comps <= 0) return std::nullopt;
    return imageSampleBytes(attrs, comps);
}

std::optional<size_t> imageSampleBytes(const PDEImageAttrs& attrs, int comps) {
    if (attrs.width < 0 || attrs.height < 0 || attrs.bitsPerComponent < 0 || comps < 0) return std::nullopt;
    size_t bits = 0, rowBytes = 0, total = 0;
    if (__builtin_mul_overflow(static_cast<size_t>(attrs.width), static_cast<size_t>(comps), &bits) ||
        __builtin_mul_overflow(bits, static_cast<size_t>(attrs.bitsPerComponent), &bits) || bits > SIZE_MAX - 7)
        return std::nullopt;
    rowBytes = (bits + 7) / 8;
    if (__builtin_mul_overflow(rowBytes, static_cast<size_t>(attrs.height), &total)) return std::nullopt;
    return total;
}

std::shared_ptr<PdeColorSpace> PdeImage::colorSpace() {
    if (mColorSpace) return mColorSpace;
    QPDFObjectHandle space = dictionary().getKey("/ColorSpace");
    if (space.isName() && !isDeviceFamily(space.getName()) && source.resources.isDictionary()) {
        QPDFObjectHandle named = pdeKey(source.resources, "/ColorSpace", space.getName());
        if (!named.isNull()) space = named;
    }
    if (space.isNull()) space = QPDFObjectHandle::newName("/DeviceGray");
    mColorSpace = std::make_shared<PdeColorSpace>(space);
    return mColorSpace;
}

std::string PdeColorSpace::family() const {
    if (space.isName()) return space.getName();
    if (space.isArray() && space.getArrayNItems() > 0 && space.getArrayItem(0).isName())
        return valueName(space.getArrayItem(0).getName());
    return "";
}

int PdeColorSpace::components() const {
    const std::string f = family();
    if (f == "/ICCBased" && space.getArrayNItems() > 1) {
        QPDFObjectHandle stream = space.getArrayItem(1);
        QPDFObjectHandle n = stream.isStream() ? stream.getDict().getKey("/N") : QPDFObjectHandle::newNull();
        return n.isInteger() ? static_cast<int>(n.getIntValue()) : 0;
    }
    if (f == "/DeviceN" && space.getArrayNItems() > 1 && space.getArrayItem(1).isArray())
        return space.getArrayItem(1).getArrayNItems();
    return familyComponents(f);
}

std::string PdeColorSpace::baseFamily() const {
    if (family() != "/Indexed" || !space.isArray() || space.getArrayNItems() < 2) return "";
    return PdeColorSpace(expandValue(space.getArrayItem(1))).family();
}

int PdeColorSpace::baseComponents() const {
    if (family() != "/Indexed" || !space.isArray() || space.getArrayNItems() < 2) return components();
    return PdeColorSpace(expandValue(space.getArrayItem(1))).components();
}

int PdeColorSpace::hiVal() const {
    if (family() != "/Indexed" || space.getArrayNItems() < 3 || !space.getArrayItem(2).isInteger()) return -1;
    return static_cast<int>(std::clamp<long long>(space.getArrayItem(2).getIntValue(), 0, 255));
}

std::string PdeColorSpace::lookup() const {
    if (family() != "/Indexed" || space.getArrayNItems() < 4) return "";
    QPDFObjectHandle table = space.getArrayItem(3);
    if (table.isString()) return table.getStringValue();
    if (table.isStream()) {
        auto buffer = table.getStreamData(qpdf_dl_generalized);
        return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
    }
    return "";
}

}  // namespace qmhost
