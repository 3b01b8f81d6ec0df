#include "pde/FontCodeScan.h"

#include <memory>
#include <stdexcept>
#include <vector>

#include <qpdf/BufferInputSource.hh>
#include <qpdf/Pl_String.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFTokenizer.hh>

namespace qmhost {
namespace {

using FontsByName = std::map<std::string, QPDFObjGen>;  // "/NxF0" -> the wanted font

class Scanner {
public:
    explicit Scanner(const std::function<bool(QPDFObjectHandle)>& wanted) : mWanted(wanted) {}

    void scanPage(QPDFPageObjectHelper page) {
        QPDFObjectHandle resources = page.getAttribute("/Resources", false);
        scanForms(resources);
        const FontsByName fonts = wantedFonts(resources);
        if (fonts.empty()) return;
        std::string content;
        Pl_String sink("page content", nullptr, content);
        page.pipeContents(&sink);
        scanContent(content, fonts);
    }

    std::map<QPDFObjGen, FontCodes> take() { return std::move(mFound); }

private:
    // The wanted fonts of a resource dictionary, by resource name; every one
    // counts as found even when no content shows it.
    FontsByName wantedFonts(QPDFObjectHandle resources) {
        if (!resources.isDictionary()) return {};
        QPDFObjectHandle fonts = resources.getKey("/Font");
        if (!fonts.isDictionary()) return {};
        // Pages that inherit their resources share one font dictionary, which
        // then names a font for every page stamped: read it once, not per page.
        for (const auto& [seen, found] : mRecent)
            if (seen.isSameObjectAs(fonts)) return found;
        FontsByName result;
        for (auto& [name, font] : fonts.getDictAsMap()) {
            if (!font.isDictionary() || !font.isIndirect() || !mWanted(font)) continue;
            result.emplace(name, font.getObjGen());
            mFound.try_emplace(font.getObjGen(), FontCodes{font, {}});
        }
        if (mRecent.size() == kRecentFontDictionaries) mRecent.erase(mRecent.begin());
        mRecent.emplace_back(fonts, result);
        return result;
    }

    // The form XObjects reachable from resources, each scanned once with its own
    // resources (or those it is drawn with when it has none).
    void scanForms(QPDFObjectHandle resources) {
        std::vector<std::pair<QPDFObjectHandle, QPDFObjectHandle>> pending;  // form, resources it inherits
        auto queue = [&](QPDFObjectHandle owner) {
            if (!owner.isDictionary()) return;
            QPDFObjectHandle xobjects = owner.getKey("/XObject");
            if (!xobjects.isDictionary()) return;
            for (auto& [name, form] : xobjects.ditems()) {
                if (!form.isStream() || !form.isIndirect()) continue;
                if (!form.getDict().getKey("/Subtype").isNameAndEquals("/Form")) continue;
                if (mFormsSeen.insert(form.getObjGen()).second) pending.emplace_back(form, owner);
            }
        };
        queue(resources);
        while (!pending.empty()) {
            auto [form, inherited] = pending.back();
            pending.pop_back();
            QPDFObjectHandle own = form.getDict().getKey("/Resources");
            QPDFObjectHandle formResources = own.isDictionary() ? own : inherited;
            queue(formResources);
            const FontsByName fonts = wantedFonts(formResources);
            if (!fonts.empty()) scanContent(decodedStreamData(form, "a form's content"), fonts);
        }
    }

    // Follows Tf through q/Q and collects the codes of strings shown in wanted fonts.
    void scanContent(const std::string& content, const FontsByName& fonts) {
        // A content that never names a wanted font cannot show one.
        bool named = false;
        for (const auto& entry : fonts) named = named || content.find(entry.first) != std::string::npos;
        if (!named) return;

        scanTokens(content, fonts);
    }

    void scanTokens(const std::string& content, const FontsByName& fonts) {
        auto input = std::make_shared<BufferInputSource>("content", content);
        QPDFTokenizer tokenizer;
        tokenizer.allowEOF();
        std::vector<QPDFTokenizer::Token> operands;
        FontCodes* font = nullptr;  // the current font when it is a wanted one
        std::vector<FontCodes*> saved;
        for (;;) {
            QPDFTokenizer::Token token = tokenizer.readToken(input, "content", true);
            const auto type = token.getType();
            if (type == QPDFTokenizer::tt_eof) break;
            if (type != QPDFTokenizer::tt_word) {
                if (type == QPDFTokenizer::tt_name || type == QPDFTokenizer::tt_string) operands.push_back(token);
                continue;
            }
            const std::string& op = token.getValue();
            if (op == "Tf") {
                font = nullptr;
                if (!operands.empty() && operands.front().getType() == QPDFTokenizer::tt_name) {
                    auto it = fonts.find(operands.front().getValue());
                    if (it != fonts.end()) font = &mFound.at(it->second);
                }
            } else if (op == "q") {
                saved.push_back(font);
            } else if (op == "Q") {
                if (!saved.empty()) font = saved.back(), saved.pop_back();
            } else if (op == "Tj" || op == "TJ" || op == "'" || op == "\"") {
                if (font) addCodes(*font, operands);
            } else if (op == "ID") {
                // The image data of an inline image is one token.
                tokenizer.expectInlineImage(input);
                tokenizer.readToken(input, "content", true);
            }
            operands.clear();
        }
    }

    static void addCodes(FontCodes& font, const std::vector<QPDFTokenizer::Token>& operands) {
        for (const auto& operand : operands) {
            if (operand.getType() != QPDFTokenizer::tt_string) continue;
            const std::string& bytes = operand.getValue();
            for (size_t i = 0; i + 1 < bytes.size(); i += 2)
                font.codes.insert(static_cast<uint16_t>((static_cast<unsigned char>(bytes[i]) << 8) |
                                                        static_cast<unsigned char>(bytes[i + 1])));
        }
    }

    const std::function<bool(QPDFObjectHandle)>& mWanted;
    std::map<QPDFObjGen, FontCodes> mFound;
    std::set<QPDFObjGen> mFormsSeen;
    static constexpr size_t kRecentFontDictionaries = 8;
    std::vector<std::pair<QPDFObjectHandle, FontsByName>> mRecent;
};

}  // namespace

std::string decodedStreamData(QPDFObjectHandle stream, const std::string& what) {
    std::string data;
    Pl_String sink("stream data", nullptr, data);
    if (!stream.pipeStreamData(&sink, 0, qpdf_dl_generalized, true))
        throw std::runtime_error("cannot decode " + what);
    return data;
}

std::map<QPDFObjGen, FontCodes> scanFontCodes(QPDF& qpdf, const std::function<bool(QPDFObjectHandle)>& wanted) {
    Scanner scanner(wanted);
    for (auto& page : QPDFPageDocumentHelper(qpdf).getAllPages()) scanner.scanPage(page);
    return scanner.take();
}

}  // namespace qmhost
