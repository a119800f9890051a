#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/fields/field_database.h"
#include "varrow/fields/field_keys.h"
#include "varrow/items/composite_metadatum.h"

namespace meta {
namespace {

using CompositeTable = FieldDatabase<CompositeField>::Table;

// What generation needs to know about the composite table, worked out once
// per table rather than on every read: every distinct input looked up once,
// the definitions' inputs as indices into that list, and which other
// definitions a definition's inputs name.
struct CompositePlan {
    struct Definition {
        CompositeField const* field = nullptr;
        std::vector<std::size_t> required;
        std::vector<std::size_t> desired;
        std::vector<std::size_t> inhibiting;
        // Other definitions whose composite one of these inputs names.
        std::vector<std::size_t> uses;
    };

    std::vector<CompositeInput> inputs;
    std::vector<Definition> definitions;
    // For each definition, the inputs that name its composite: they are
    // looked up again once it has been added.
    std::vector<std::vector<std::size_t>> inputsNaming;
};

std::size_t InputIndex(std::vector<CompositeInput>& inputs, CompositeInput const& input) {
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (inputs[i] == input) return i;
    }
    inputs.push_back(input);
    return inputs.size() - 1;
}

std::unique_ptr<CompositePlan> MakePlan(CompositeTable const& table) {
    auto plan = std::make_unique<CompositePlan>();
    for (auto const& entry : table) {
        CompositePlan::Definition definition;
        definition.field = &entry.second;
        for (CompositeInput const& input : entry.second.requiredInputs)
            definition.required.push_back(InputIndex(plan->inputs, input));
        for (CompositeInput const& input : entry.second.desiredInputs)
            definition.desired.push_back(InputIndex(plan->inputs, input));
        for (CompositeInput const& input : entry.second.inhibitingInputs)
            definition.inhibiting.push_back(InputIndex(plan->inputs, input));
        plan->definitions.push_back(std::move(definition));
    }
    std::size_t const count = plan->definitions.size();
    plan->inputsNaming.resize(count);
    for (std::size_t d = 0; d < count; ++d) {
        CompositePlan::Definition& definition = plan->definitions[d];
        for (std::size_t other = 0; other < count; ++other) {
            if (other == d) continue;
            std::string_view const name = plan->definitions[other].field->name;
            auto names = [&](std::vector<std::size_t> const& list) {
                for (std::size_t i : list)
                    if (plan->inputs[i].name == name) return true;
                return false;
            };
            if (names(definition.required) || names(definition.desired)) definition.uses.push_back(other);
        }
        for (std::size_t i = 0; i < plan->inputs.size(); ++i) {
            if (plan->inputs[i].name == definition.field->name) plan->inputsNaming[d].push_back(i);
        }
    }
    return plan;
}

CompositePlan const& PlanFor(CompositeTable const& table) {
    static std::mutex mutex;
    static std::map<CompositeTable const*, std::unique_ptr<CompositePlan>> plans;
    std::lock_guard<std::mutex> const lock(mutex);
    std::unique_ptr<CompositePlan>& plan = plans[&table];
    if (!plan) plan = MakePlan(table);
    return *plan;
}

}  // namespace

void Metadata::GenerateCompositeTags() {
    CompositeTable const* table = FieldDatabase<CompositeField>::GetTable(FieldGroup::Composite);
    if (table == nullptr) return;
    CompositePlan const& plan = PlanFor(*table);

    // Inputs are looked up when first needed and remembered: most
    // definitions fail on their first required input, and their other
    // inputs are never looked up.
    std::vector<Metadatum> found(plan.inputs.size());
    std::vector<bool> looked(plan.inputs.size(), false);
    auto input = [&](std::size_t i) -> Metadatum const& {
        if (!looked[i]) {
            found[i] = Find(plan.inputs[i].ns, plan.inputs[i].name);
            looked[i] = true;
        }
        return found[i];
    };
    auto present = [&](std::vector<std::size_t> const& list) {
        for (std::size_t i : list)
            if (!input(i)) return false;
        return true;
    };
    std::vector<bool> pending(plan.definitions.size(), true);
    // Whether a definition should wait for another pending composite it uses
    // (ScaleFactor35efl before FocalLength35efl, ImageSize before Megapixels).
    // Only composites that can still be made count, so a missing one never
    // blocks; a composite that uses its own name (GPSLatitude) reads the item
    // it refines.
    auto waits = [&](CompositePlan::Definition const& definition) {
        for (std::size_t other : definition.uses) {
            if (pending[other] && present(plan.definitions[other].required)) return true;
        }
        return false;
    };

    // Passes until one creates nothing; a pass that is only held up by
    // composites waiting on each other lets them go ahead regardless.
    bool ignoreWaits = false;
    for (;;) {
        bool created = false;
        bool held = false;
        for (std::size_t d = 0; d < plan.definitions.size(); ++d) {
            if (!pending[d]) continue;
            CompositePlan::Definition const& definition = plan.definitions[d];
            if (!present(definition.required)) continue;
            if (!ignoreWaits && waits(definition)) {
                held = true;
                continue;
            }
            pending[d] = false;
            created = true;
            bool inhibited = false;
            for (std::size_t i : definition.inhibiting) inhibited = inhibited || static_cast<bool>(input(i));
            if (inhibited) continue;
            std::vector<Metadatum> inputs;
            inputs.reserve(definition.required.size() + definition.desired.size());
            for (std::size_t i : definition.required) inputs.push_back(input(i));
            for (std::size_t i : definition.desired) inputs.push_back(input(i));
            CompositeField const& field = *definition.field;
            Metadatum composite(CompositeMetadatum::Create(CompositeKey{field.name, &field}, readStore_,
                                                           std::move(inputs), 2));
            // A computation that finds nothing to compute leaves no item.
            if (!composite) continue;
            Add(std::move(composite));
            for (std::size_t i : plan.inputsNaming[d]) looked[i] = false;
        }
        if (!created && !held) break;
        ignoreWaits = !created;
    }
}

}  // namespace meta
