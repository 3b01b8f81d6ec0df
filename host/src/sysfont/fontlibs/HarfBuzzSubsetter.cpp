#include "sysfont/fontlibs/HarfBuzzSubsetter.h"

#include <memory>

#include <hb-subset.h>

namespace qmhost {
namespace {

template <class T, void (*Destroy)(T*)>
struct HbDeleter {
    void operator()(T* object) const { Destroy(object); }
};
using Blob = std::unique_ptr<hb_blob_t, HbDeleter<hb_blob_t, hb_blob_destroy>>;
using Face = std::unique_ptr<hb_face_t, HbDeleter<hb_face_t, hb_face_destroy>>;
using Input = std::unique_ptr<hb_subset_input_t, HbDeleter<hb_subset_input_t, hb_subset_input_destroy>>;
using Plan = std::unique_ptr<hb_subset_plan_t, HbDeleter<hb_subset_plan_t, hb_subset_plan_destroy>>;

// Tables a PDF reader does not draw with, beyond those HarfBuzz drops by itself:
// keeping GSUB would also pull every glyph that a substitution can reach into
// the subset.
constexpr const char* kDroppedTables[] = {"GSUB", "GPOS", "GDEF", "BASE", "JSTF", "MATH", "kern",
                                          "morx", "mort", "kerx", "DSIG", "vhea", "vmtx"};

bool fail(std::string* why, const char* text) {
    if (why) *why = text;
    return false;
}

}  // namespace

bool harfBuzzSubset(std::string_view program, const std::set<unsigned>& glyphs, bool retainGlyphIds, FontSubset* result,
                    std::string* why) {
    if (program.size() < 12 || program.size() > 0x7FFFFFFF) return fail(why, "the font program is not an sfnt");
    Blob blob(hb_blob_create(program.data(), static_cast<unsigned>(program.size()), HB_MEMORY_MODE_READONLY, nullptr,
                             nullptr));
    Face face(hb_face_create(blob.get(), 0));
    const unsigned glyphCount = hb_face_get_glyph_count(face.get());
    if (glyphCount == 0) return fail(why, "HarfBuzz finds no glyphs in the font program");

    Input input(hb_subset_input_create_or_fail());
    if (!input) return fail(why, "HarfBuzz has no memory for the subset");
    hb_set_t* glyphSet = hb_subset_input_glyph_set(input.get());
    hb_set_add(glyphSet, 0);
    for (unsigned glyph : glyphs)
        if (glyph < glyphCount) hb_set_add(glyphSet, glyph);
    hb_set_t* dropped = hb_subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const char* tag : kDroppedTables) hb_set_add(dropped, hb_tag_from_string(tag, 4));
    hb_subset_input_set_flags(input.get(), retainGlyphIds ? HB_SUBSET_FLAGS_RETAIN_GIDS : HB_SUBSET_FLAGS_DEFAULT);

    Plan plan(hb_subset_plan_create_or_fail(face.get(), input.get()));
    if (!plan) return fail(why, "HarfBuzz cannot plan a subset of the font");
    Face subset(hb_subset_plan_execute_or_fail(plan.get()));
    if (!subset) return fail(why, "HarfBuzz cannot subset the font");
    Blob bytes(hb_face_reference_blob(subset.get()));
    unsigned length = 0;
    const char* data = hb_blob_get_data(bytes.get(), &length);
    if (!data || length == 0) return fail(why, "HarfBuzz made an empty subset of the font");

    result->program.assign(data, length);
    result->newGlyphOf.clear();
    const hb_map_t* mapping = hb_subset_plan_old_to_new_glyph_mapping(plan.get());
    std::set<unsigned> asked = glyphs;
    asked.insert(0);
    for (unsigned glyph : asked) {
        const hb_codepoint_t newGlyph = hb_map_get(mapping, glyph);
        if (newGlyph != HB_MAP_VALUE_INVALID) result->newGlyphOf[glyph] = newGlyph;
    }
    return true;
}

}  // namespace qmhost
