// Pieces of PDF files for tests, made with qpdf: Flate data, a stream whose
// dictionary is given in PDF syntax, and a file of one page.
#pragma once

#include <string>

#include <qpdf/Pl_Flate.hh>
#include <qpdf/Pl_String.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

namespace qmtest {

// data through qpdf's Flate encoder (a_deflate) or decoder (a_inflate).
inline std::string flate(const std::string& data, Pl_Flate::action_e action) {
    std::string out;
    Pl_String sink("flate sink", nullptr, out);
    Pl_Flate filter("flate", &sink, action);
    filter.write(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    filter.finish();
    return out;
}
inline std::string deflate(const std::string& data) { return flate(data, Pl_Flate::a_deflate); }
inline std::string inflate(const std::string& data) { return flate(data, Pl_Flate::a_inflate); }

// A new stream of q holding data, with the entries of dict (PDF syntax).
inline QPDFObjectHandle newStreamWith(QPDF& q, const std::string& data, const std::string& dict) {
    QPDFObjectHandle s = QPDFObjectHandle::newStream(&q, data);
    for (auto& [key, value] : QPDFObjectHandle::parse(dict).ditems()) s.getDict().replaceKey(key, value);
    return s;
}

// Adds a page of this media box ("0 0 200 200"), contents and resources to q
// and writes q to path with a static ID, its streams as mode says.
inline void writeWithPage(QPDF& q, const std::string& mediaBox, QPDFObjectHandle contents, QPDFObjectHandle resources,
                          const std::string& path, qpdf_stream_data_e mode) {
    QPDFObjectHandle page =
        q.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Page /MediaBox [" + mediaBox + "] >>"));
    page.replaceKey("/Contents", contents);
    page.replaceKey("/Resources", resources);
    q.addPage(page, false);
    QPDFWriter writer(q, path.c_str());
    writer.setStaticID(true);
    writer.setStreamDataMode(mode);
    writer.write();
}

}  // namespace qmtest
