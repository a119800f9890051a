#pragma once

#include <memory>
#include <unordered_map>

#include "varrow/api/export.h"
#include "varrow/api/options.h"
#include "varrow/api/read_source.h"

namespace meta {

class DataSource;
class Metadata;
struct ReadStore;

// Reader of one file type: runs the format's top-level processor over the
// whole input. Stateless; one is created per read.
class VARROW_API Image {
public:
    virtual ~Image() = default;
    // True when the top-level processor reported success.
    virtual bool ReadMetadata(DataSource& source, std::shared_ptr<ReadStore> store, Options const& options,
                              Metadata& metadata) = 0;
};

// The image reader of every ReadSource, registered at library load.
class VARROW_API ImageFactories {
public:
    using Factory = std::unique_ptr<Image> (*)();
    using Map = std::unordered_map<ReadSource, Factory>;

    static Map& GetImageFactories();
    // Null when nothing is registered for `type` (always for Unknown).
    static std::unique_ptr<Image> CreateImage(ReadSource type);

    // One static object per image class; the first registration of a
    // ReadSource wins.
    template <class T>
    struct Registration {
        explicit Registration(ReadSource type) {
            GetImageFactories().emplace(type, []() -> std::unique_ptr<Image> { return std::make_unique<T>(); });
        }
    };
};

}  // namespace meta
