#include "cos/StreamFilters.h"

#include <limits>
#include <vector>

#include <qpdf/Pl_Flate.hh>
#include <qpdf/Pl_String.hh>

#include "core/Raise.h"
#include "cos/CosAccess.h"
#include "cos/ImageEncoders.h"

namespace qmhost {
namespace {

std::vector<std::string> filterNames(QPDFObjectHandle filter) {
    std::vector<std::string> names;
    if (filter.isName()) {
        names.push_back(filter.getName());
    } else if (filter.isArray()) {
        for (auto& item : filter.getArrayAsVector()) {
            if (!item.isName()) raise(kHostErrFilter, "/Filter holds " + item.unparse() + ", not a name");
            names.push_back(item.getName());
        }
    } else if (!filter.isNull()) {
        raise(kHostErrFilter, "/Filter " + filter.unparse() + " is not a name or an array of names");
    }
    return names;
}

// The decode parameters of filter number i (a dictionary, an array of them, or null).
QPDFObjectHandle parmsAt(QPDFObjectHandle decodeParms, size_t i, size_t count) {
    if (decodeParms.isArray()) {
        if (static_cast<size_t>(decodeParms.getArrayNItems()) != count)
            raise(kHostErrFilter, "/DecodeParms does not match /Filter");
        return decodeParms.getArrayItem(static_cast<int>(i));
    }
    return decodeParms;
}

std::optional<int64_t> integerOf(QPDFObjectHandle dict, const char* key) {
    QPDFObjectHandle value = entryOf(dict, key);
    if (!value.isInteger()) return std::nullopt;
    return value.getIntValue();
}

std::optional<int64_t> positiveInt32(QPDFObjectHandle dict, const char* key) {
    const std::optional<int64_t> value = integerOf(dict, key);
    if (!value || *value <= 0 || *value > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return value;
}

void checkNoPredictor(const std::string& name, QPDFObjectHandle parms) {
    if (!parms.isDictionary()) return;
    const std::optional<int64_t> predictor = integerOf(parms, "/Predictor");
    if (predictor && *predictor > 1)
        raise(kHostErrFilter, "the host cannot encode " + name + " with /Predictor " + std::to_string(*predictor));
}

bool earlyChangeOf(QPDFObjectHandle parms) {
    if (!parms.isDictionary()) return true;
    const std::optional<int64_t> early = integerOf(parms, "/EarlyChange");
    return !early || *early != 0;
}

// DCT makes samples: it must be read last, and the image must say what they are.
void checkDctEncodable(bool readLast, const std::optional<ImageSamples>& image) {
    if (!readLast)
        raise(kHostErrFilter, "the host can encode /DCTDecode only as the last filter of /Filter");
    if (!image || image->bits != 8 || image->indexed ||
        (image->components != 1 && image->components != 3 && image->components != 4))
        raise(kHostErrFilter, "the host can encode /DCTDecode only for an image with /Width, /Height, "
                              "/BitsPerComponent 8 and a gray, RGB or CMYK /ColorSpace");
}

void checkEncodable(const std::string& name, QPDFObjectHandle parms, bool readLast,
                    const std::optional<ImageSamples>& image) {
    if (name == "/FlateDecode" || name == "/LZWDecode") {
        checkNoPredictor(name, parms);
    } else if (name == "/DCTDecode") {
        checkDctEncodable(readLast, image);
    } else {
        raise(kHostErrFilter, "the host cannot encode with the filter " + name);
    }
}

std::string encodeWith(const std::string& name, QPDFObjectHandle parms, const std::string& data,
                       const std::optional<ImageSamples>& image) {
    if (name == "/FlateDecode") return flateEncode(data);
    if (name == "/LZWDecode") return lzwEncode(data, earlyChangeOf(parms));
    return dctEncode(data, static_cast<int32_t>(image->width), static_cast<int32_t>(image->height),
                     image->components);
}

void checkImageFilled(uint64_t size, const ImageSamples& image) {
    const uint64_t rowBytes = image.rowBytes();
    if (size / rowBytes >= static_cast<uint64_t>(image.height)) return;
    raise(kHostErrStream, "the image of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                              " samples (" + std::to_string(image.components) + " components of " +
                              std::to_string(image.bits) + " bits) needs " +
                              std::to_string(rowBytes * static_cast<uint64_t>(image.height)) +
                              " bytes, but its source gave only " + std::to_string(size));
}

// Components of a colour space, when it is of a kind that says so.
std::optional<int32_t> componentsOf(QPDFObjectHandle space, bool* indexed) {
    if (space.isName()) {
        const std::string name = space.getName();
        if (name == "/DeviceGray" || name == "/G") return 1;
        if (name == "/DeviceRGB" || name == "/RGB") return 3;
        if (name == "/DeviceCMYK" || name == "/CMYK") return 4;
        return std::nullopt;
    }
    if (!space.isArray() || space.getArrayNItems() < 1 || !space.getArrayItem(0).isName()) return std::nullopt;
    const std::string family = space.getArrayItem(0).getName();
    if (family == "/Indexed" || family == "/I") {
        *indexed = true;
        return 1;
    }
    if (family == "/CalGray" || family == "/Separation") return 1;
    if (family == "/CalRGB" || family == "/Lab") return 3;
    if (family == "/ICCBased" && space.getArrayNItems() >= 2 && space.getArrayItem(1).isStream()) {
        const std::optional<int64_t> n = integerOf(space.getArrayItem(1).getDict(), "/N");
        if (n && (*n == 1 || *n == 3 || *n == 4)) return static_cast<int32_t>(*n);
        return std::nullopt;
    }
    if (family == "/DeviceN" && space.getArrayNItems() >= 2 && space.getArrayItem(1).isArray()) {
        const int count = space.getArrayItem(1).getArrayNItems();
        if (count >= 1 && count <= 32) return count;
    }
    return std::nullopt;
}

}  // namespace

uint64_t ImageSamples::rowBytes() const {
    return (static_cast<uint64_t>(width) * static_cast<uint64_t>(components) * static_cast<uint64_t>(bits) + 7) / 8;
}

std::optional<ImageSamples> imageSamplesOf(QPDFObjectHandle dict) {
    if (!dict.isDictionary()) return std::nullopt;
    QPDFObjectHandle subtype = entryOf(dict, "/Subtype");
    if (!subtype.isName() || subtype.getName() != "/Image") return std::nullopt;
    const std::optional<int64_t> width = positiveInt32(dict, "/Width");
    const std::optional<int64_t> height = positiveInt32(dict, "/Height");
    if (!width || !height) return std::nullopt;
    ImageSamples image;
    image.width = *width;
    image.height = *height;
    QPDFObjectHandle mask = entryOf(dict, "/ImageMask");
    if (mask.isBool() && mask.getBoolValue()) {
        image.components = 1;
        image.bits = 1;
        return image;
    }
    const std::optional<int64_t> bits = integerOf(dict, "/BitsPerComponent");
    if (!bits || (*bits != 1 && *bits != 2 && *bits != 4 && *bits != 8 && *bits != 16)) return std::nullopt;
    image.bits = static_cast<int32_t>(*bits);
    const std::optional<int32_t> components = componentsOf(entryOf(dict, "/ColorSpace"), &image.indexed);
    if (!components) return std::nullopt;
    image.components = *components;
    return image;
}

std::string flateEncode(const std::string& data) {
    std::string out;
    Pl_String sink("flate output", nullptr, out);
    Pl_Flate deflate("flate encode", &sink, Pl_Flate::a_deflate);
    deflate.write(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    deflate.finish();
    return out;
}

std::string encodeForFilters(std::string data, QPDFObjectHandle dict) {
    // Without filters and without an image's sizes to check there is nothing to
    // do: the usual case, a content stream (4,000 instructions a stream saved).
    if (!dict.hasKey("/Filter") && !dict.hasKey("/Subtype")) return data;
    const std::vector<std::string> names = filterNames(entryOf(dict, "/Filter"));
    QPDFObjectHandle decodeParms = entryOf(dict, "/DecodeParms");
    const std::optional<ImageSamples> image = imageSamplesOf(dict);
    for (size_t i = 0; i < names.size(); ++i)
        checkEncodable(names[i], parmsAt(decodeParms, i, names.size()), i + 1 == names.size(), image);
    if (image) checkImageFilled(data.size(), *image);
    // Readers apply the filters first to last, so they are applied last to first here.
    for (size_t i = names.size(); i-- > 0;)
        data = encodeWith(names[i], parmsAt(decodeParms, i, names.size()), data, image);
    return data;
}

}  // namespace qmhost
