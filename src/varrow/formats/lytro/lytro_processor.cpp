#include "varrow/formats/lytro/lytro_processor.h"

#include <json/json.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/fields/field_database.h"
#include "varrow/formats/lytro/lytro_signatures.h"
#include "varrow/io/data_source.h"
#include "varrow/items/lytro_metadatum.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/util/strings_utf8.h"
#include "varrow/values/json_value.h"

namespace meta {
namespace {

ProcessorRegistration<LytroProcessor> const kRegistration("Lytro");

constexpr std::size_t kHeaderSize = 16;
constexpr std::streamoff kHashSize = 80;
// Metadata sections are small; anything larger is image data, never parsed.
constexpr std::uint32_t kLargestJsonSection = 10240;
// Enough of a section to tell JSON text from image data.
constexpr std::size_t kSniffSize = 26;
constexpr std::string_view kDevicesPrefix = "Devices";

using Header = std::array<char, kHeaderSize>;

bool HasMagic(Header const& h, bool section) {
    return detail::IsLytroSignature(std::string_view(h.data(), 8), section);
}

std::uint32_t BigEndian32(Header const& h, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(h[at + i]);
    return v;
}

// Steps over n input bytes; false when the input ends first. Short steps
// stay inside the stream's buffer; only long runs are worth a seek (a file
// stream accepts a seek past its end, and the next read then fails).
bool Skip(std::istream& in, std::streamoff n) {
    if (n <= 0) return in.good();
    constexpr std::streamoff kSeekAbove = 4096;
    if (n <= kSeekAbove) {
        in.ignore(n);
        return in.gcount() == n;
    }
    return static_cast<bool>(in.seekg(n, std::ios::cur));
}

// Appends a member name with its first letter upper-cased. Plain ASCII names,
// the usual case, need neither a copy nor the Unicode case tables.
void AppendUcFirst(std::string& path, std::string_view member) {
    if (member.empty()) return;
    bool const ascii = std::all_of(member.begin(), member.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) {
        path += strings::utf8::UcFirst(std::string(member));
        return;
    }
    char const first = member.front();
    path += first >= 'a' && first <= 'z' ? static_cast<char>(first - 'a' + 'A') : first;
    path.append(member.substr(1));
}

// The recursive walk over one parsed JSON document. One path buffer grows and
// shrinks with the member names on the way, so names are built without a
// string per level. Items share the document when it is owned by one.
class Flattener {
  public:
    Flattener(std::shared_ptr<ReadStore> const& store, Metadata& metadata,
              std::shared_ptr<Json::Value const> const* document)
        : store_(store), metadata_(metadata), document_(document) {}

    void Walk(Json::Value const& value, std::string& path) {
        if (value.isObject()) {
            std::size_t const length = path.size();
            for (auto it = value.begin(); it != value.end(); ++it) {
                char const* end = nullptr;
                char const* begin = it.memberName(&end);
                if (begin != nullptr)
                    AppendUcFirst(path, std::string_view(begin, static_cast<std::size_t>(end - begin)));
                Walk(*it, path);
                path.resize(length);
            }
            return;
        }
        if (value.isArray()) return;
        AddItem(value, path);
    }

  private:
    void AddItem(Json::Value const& value, std::string const& path) {
        LytroProperty const* field =
            store_ ? FieldDatabase<LytroProperty>::Find(path, FieldGroup::Lytro, *store_)
                   : FieldDatabase<LytroProperty>::UnconditionalFind(path, FieldGroup::Lytro);
        std::string name = path;
        // The devices object describes the camera's parts; its members read
        // better without the word. A bare "Devices" keeps it: an item needs a
        // name.
        if (field == nullptr && name.size() > kDevicesPrefix.size() && name.starts_with(kDevicesPrefix))
            name.erase(0, kDevicesPrefix.size());
        JsonValue json = document_ != nullptr ? JsonValue(*document_, value) : JsonValue(value);
        metadata_.Add<LytroMetadatum>(LytroKey{FieldGroup::Lytro, std::move(name), field}, store_,
                                      std::move(json), 1);
    }

    std::shared_ptr<ReadStore> const& store_;
    Metadata& metadata_;
    std::shared_ptr<Json::Value const> const* document_;
};

// Parses a section's JSON text. The parser reports nesting beyond its limit
// by throwing; that is bad data like any other here.
std::shared_ptr<Json::Value const> ParseJson(Json::CharReader& reader, std::string_view text) {
    auto root = std::make_shared<Json::Value>();
    std::string errors;
    try {
        if (!reader.parse(text.data(), text.data() + text.size(), root.get(), &errors)) return nullptr;
    } catch (std::exception const&) {
        return nullptr;
    }
    return root;
}

}  // namespace

ReadResult LytroProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store,
                                Metadata& metadata, FieldGroup group) {
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);

    std::istream& in = source.Yield();
    Header header{};
    if (!in.read(header.data(), kHeaderSize) || !HasMagic(header, false)) return ReadResult::Error;

    std::unique_ptr<Json::CharReader> reader;
    for (;;) {
        if (!in.read(header.data(), kHeaderSize)) return in.eof() ? ReadResult::Success : ReadResult::Error;
        if (!HasMagic(header, true)) return ReadResult::Error;
        std::uint32_t const length = BigEndian32(header, 12);
        if ((length & 0x80000000u) != 0) return ReadResult::Error;
        if (length == 0) continue;
        // A file that ends inside a section has nothing more to give.
        if (!Skip(in, kHashSize)) return ReadResult::Success;
        auto const padded = static_cast<std::streamoff>((std::uint64_t{length} + 15) & ~std::uint64_t{15});
        if (length > kLargestJsonSection) {
            if (!Skip(in, padded)) return ReadResult::Success;
            continue;
        }

        std::size_t const sniffed = std::min<std::size_t>(length, kSniffSize);
        if (!source.ProvisionData(sniffed)) return ReadResult::Success;
        if (!detail::StartsLytroJsonObject(source.AsStringView())) {
            source.Yield();
            if (!Skip(in, padded - static_cast<std::streamoff>(sniffed))) return ReadResult::Success;
            continue;
        }
        if (length > sniffed && !source.ProvisionData(length - sniffed)) return ReadResult::Success;
        if (!reader) {
            Json::CharReaderBuilder builder;
            builder["collectComments"] = false;
            reader.reset(builder.newCharReader());
        }
        std::shared_ptr<Json::Value const> const document = ParseJson(*reader, source.AsStringView());
        // The window ends where the data does: dropping it leaves the input
        // at the padding.
        source.Yield();
        if (document) {
            std::string path;
            Flattener(store, metadata, &document).Walk(*document, path);
        }
        if (!Skip(in, padded - std::streamoff{length})) return ReadResult::Success;
    }
}

void LytroProcessor::ExtractMetadata(Json::Value const& value, std::shared_ptr<ReadStore> const& store,
                                     Metadata& metadata, std::string prefix) {
    Flattener(store, metadata, nullptr).Walk(value, prefix);
}

}  // namespace meta
