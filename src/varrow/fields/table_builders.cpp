#include "varrow/fields/table_builders.h"

#include <vector>

namespace meta {
namespace {

std::vector<TableBuilder>& Builders(TableStage stage) {
    static std::vector<TableBuilder> lookups;
    static std::vector<TableBuilder> databases;
    return stage == TableStage::DisplayLookups ? lookups : databases;
}

}  // namespace

TableBuilderRegistration::TableBuilderRegistration(TableStage stage, TableBuilder builder) {
    if (builder != nullptr) Builders(stage).push_back(builder);
}

void RunTableBuilders(TableStage stage) {
    for (TableBuilder builder : Builders(stage)) builder();
}

int CountTableBuilders(TableStage stage) {
    return static_cast<int>(Builders(stage).size());
}

}  // namespace meta
