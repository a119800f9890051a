#include <fstream>

#include "varrow/api/image.h"
#include "varrow/api/metadata.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"

namespace meta {

bool Metadata::Read(std::string const& path, Options const& options) {
    return Read(path, GetFileTypeFromPath(path), options);
}

bool Metadata::Read(std::string const& path, ReadSource type, Options const& options) {
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file) return false;
    DataSource source(file, std::streampos(0));
    return Read(source, type, options, path);
}

bool Metadata::Read(char const* data, std::size_t size, ReadSource type, Options const& options) {
    InMemoryStream stream(data, size);
    return Read(stream, type, options);
}

bool Metadata::Read(InMemoryStream& stream, ReadSource type, Options const& options) {
    if (stream.fail()) return false;
    DataSource source(stream, std::streampos(0));
    return Read(source, type, options, std::string_view());
}

bool Metadata::Read(std::istream& stream, ReadSource type, Options const& options) {
    if (stream.fail()) return false;
    DataSource source(stream, std::streampos(0));
    return Read(source, type, options, std::string_view());
}

bool Metadata::Read(InMemoryStreamInterface& stream, ReadSource type, Options const& options) {
    return Read(stream.GetImpl(), type, options);
}

bool Metadata::Read(DataSource& source, ReadSource type, Options const& options, std::string_view path) {
    Clear();
    if (!initialiser_ || !initialiser_->DbOkay()) return false;
    readStore_->path = std::string(path);
    readStore_->options = options;

    std::unique_ptr<Image> image = ImageFactories::CreateImage(type);
    if (!image) return false;
    bool const ok = image->ReadMetadata(source, readStore_, options, *this);
    if (ok && !options.noCompositeTags) GenerateCompositeTags();
    return ok;
}

}  // namespace meta
