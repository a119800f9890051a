#include <string_view>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/fields/field_database.h"
#include "varrow/fields/field_keys.h"
#include "varrow/items/composite_metadatum.h"

namespace meta {
namespace {

struct Candidate {
    CompositeField const* field;
    bool pending = true;
};

bool InputsPresent(Metadata const& metadata, std::vector<CompositeInput> const& inputs) {
    for (CompositeInput const& input : inputs) {
        if (!metadata.Find(input.ns, input.name)) return false;
    }
    return true;
}

bool Inhibited(Metadata const& metadata, CompositeField const& field) {
    for (CompositeInput const& input : field.inhibitingInputs) {
        if (metadata.Find(input.ns, input.name)) return true;
    }
    return false;
}

// Whether `candidate` should wait for another pending composite it uses
// (ScaleFactor35efl before FocalLength35efl, ImageSize before Megapixels).
// Only composites that can still be made count, so a missing one never
// blocks; a composite that uses its own name (GPSLatitude) reads the item
// it refines.
bool WaitsForAnother(Metadata const& metadata, Candidate const& candidate, std::vector<Candidate> const& all) {
    auto waits = [&](CompositeInput const& input) {
        for (Candidate const& other : all) {
            if (!other.pending || &other == &candidate || other.field->name != input.name) continue;
            if (InputsPresent(metadata, other.field->requiredInputs)) return true;
        }
        return false;
    };
    for (CompositeInput const& input : candidate.field->requiredInputs) {
        if (waits(input)) return true;
    }
    for (CompositeInput const& input : candidate.field->desiredInputs) {
        if (waits(input)) return true;
    }
    return false;
}

}  // namespace

void Metadata::GenerateCompositeTags() {
    FieldDatabase<CompositeField>::Table const* table = FieldDatabase<CompositeField>::GetTable(FieldGroup::Composite);
    if (table == nullptr) return;
    std::vector<Candidate> candidates;
    candidates.reserve(table->size());
    for (auto const& entry : *table) candidates.push_back({&entry.second});

    // Passes until one creates nothing; a pass that is only held up by
    // composites waiting on each other lets them go ahead regardless.
    bool ignoreWaits = false;
    for (;;) {
        bool created = false;
        bool held = false;
        for (Candidate& candidate : candidates) {
            if (!candidate.pending) continue;
            CompositeField const& field = *candidate.field;
            if (!InputsPresent(*this, field.requiredInputs)) continue;
            if (!ignoreWaits && WaitsForAnother(*this, candidate, candidates)) {
                held = true;
                continue;
            }
            candidate.pending = false;
            created = true;
            if (Inhibited(*this, field)) continue;
            std::vector<Metadatum> inputs;
            inputs.reserve(field.requiredInputs.size() + field.desiredInputs.size());
            for (CompositeInput const& input : field.requiredInputs) inputs.push_back(Find(input.ns, input.name));
            for (CompositeInput const& input : field.desiredInputs) inputs.push_back(Find(input.ns, input.name));
            Metadatum composite(
                CompositeMetadatum::Create(CompositeKey{field.name, &field}, readStore_, std::move(inputs), 2));
            // A computation that finds nothing to compute leaves no item.
            if (composite) Add(std::move(composite));
        }
        if (!created && !held) break;
        ignoreWaits = !created;
    }
}

}  // namespace meta
