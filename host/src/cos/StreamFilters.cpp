#include "cos/StreamFilters.h"

#include <vector>

#include <qpdf/Pl_Flate.hh>
#include <qpdf/Pl_String.hh>

#include "core/Raise.h"

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

void checkEncodable(const std::string& name, QPDFObjectHandle parms) {
    if (name != "/FlateDecode") raise(kHostErrFilter, "the host cannot encode with the filter " + name);
    if (parms.isDictionary()) {
        QPDFObjectHandle predictor = parms.getKey("/Predictor");
        if (predictor.isInteger() && predictor.getIntValue() > 1)
            raise(kHostErrFilter, "the host cannot encode " + name + " with /Predictor " +
                                      std::to_string(predictor.getIntValue()));
    }
}

}  // namespace

std::string flateEncode(const std::string& data) {
    std::string out;
    Pl_String sink("flate output", nullptr, out);
    Pl_Flate deflate("flate encode", &sink, Pl_Flate::a_deflate);
    deflate.write(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    deflate.finish();
    return out;
}

std::string encodeForFilters(std::string data, QPDFObjectHandle filter,
                             QPDFObjectHandle decodeParms) {
    const std::vector<std::string> names = filterNames(filter);
    for (size_t i = 0; i < names.size(); ++i) checkEncodable(names[i], parmsAt(decodeParms, i, names.size()));
    // Readers apply the filters first to last, so they are applied last to first here.
    for (size_t i = names.size(); i-- > 0;) data = flateEncode(data);
    return data;
}

}  // namespace qmhost
