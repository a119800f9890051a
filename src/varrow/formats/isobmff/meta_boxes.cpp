#include "varrow/formats/isobmff/meta_boxes.h"

#include <array>
#include <istream>

#include "varrow/formats/isobmff/box_data.h"
#include "varrow/formats/isobmff/property_boxes.h"
#include "varrow/io/data_source.h"

namespace meta::isobmff {
namespace {

bool ReadCode(BoxData& data, FourCc& code) {
    std::array<std::uint8_t, 4> bytes{};
    for (auto& b : bytes) {
        if (!data.Read(b)) return false;
    }
    code = FourCc(bytes);
    return true;
}

}  // namespace

// --- ftyp -------------------------------------------------------------------

bool FtypBox::IsSupportedBrand(FourCc const& brand) noexcept {
    constexpr std::array<std::string_view, 5> kBrands{"JP2 ", "crx ", "heic", "heix", "mif1"};
    for (std::string_view const known : kBrands) {
        if (brand == FourCc::FromString(known)) return true;
    }
    return false;
}

ReadResult FtypBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    FourCc major;
    std::uint32_t minor = 0;
    if (!ReadCode(data, major) || !data.Read(minor)) return ReadResult::Error;
    GetContext().majorBrand = major;
    bool supported = IsSupportedBrand(major);
    FourCc compatible;
    while (!supported && ReadCode(data, compatible)) supported = IsSupportedBrand(compatible);
    return supported ? ReadResult::Success : ReadResult::NotHandled;
}

// --- meta -------------------------------------------------------------------

ReadResult MetaBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    BoxType const& type = child.GetTypeBytes();
    if (type == Type("hdlr")) {
        ReadResult const result = DelegateBox<HdlrBox>(child, handler_);
        sawHandler_ = result == ReadResult::Success;
        return result;
    }
    // What follows describes something other than pictures.
    if (sawHandler_ && handler_ != FourCc::FromString("pict")) return SkipBox();

    if (type == Type("pitm")) return DelegateBox<PitmBox>(child);
    if (type == Type("iinf")) return DelegateBox<IinfBox>(child);
    if (type == Type("iloc")) return DelegateBox<IlocBox>(child);
    if (type == Type("iref")) return DelegateBox<IrefBox>(child);
    if (type == Type("iprp")) return DelegateBox<IprpBox>(child);
    if (type == Type("dinf")) return DelegateBox<DinfBox>(child);
    if (type == Type("idat")) return DelegateBox<MdatOrIdatBox>(child, true);
    return SkipChild(child);
}

ReadResult MetaBox::PostRead() {
    if (!sawHandler_ || handler_ != FourCc::FromString("pict")) return ReadResult::Success;
    ParseContext& context = GetContext();
    items::ItemModel& model = context.model;
    if (model.primaryItemId) {
        // Each property counts once, however often it is associated.
        std::vector<bool> applied(model.properties.size(), false);
        auto [first, last] = model.associations.equal_range(*model.primaryItemId);
        for (auto it = first; it != last; ++it) {
            std::uint16_t const index = it->second.propertyIndex;
            if (index == 0 || index > model.properties.size() || applied[index - 1u]) continue;
            applied[index - 1u] = true;
            items::ItemProperty const& property = model.properties[index - 1u];
            if (!property.apply) continue;
            ReadResult const result = Judge(property.apply(context));
            if (result > ReadResult::NotHandled) return result;
        }
    }
    return model.ResolveInstructions();
}

ReadResult HdlrBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    if (!data.Skip(4) || !ReadCode(data, handler_)) return ReadResult::Error;
    return ReadResult::Success;
}

ReadResult PitmBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::uint32_t id = 0;
    if (GetVersion() == 0) {
        std::uint16_t narrow = 0;
        if (!data.Read(narrow)) return ReadResult::Error;
        id = narrow;
    } else if (!data.Read(id)) {
        return ReadResult::Error;
    }
    GetContext().model.primaryItemId = id;
    return ReadResult::Success;
}

// --- items ------------------------------------------------------------------

ReadResult IinfBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    if (child.GetTypeBytes() == Type("infe")) return DelegateBox<InfeBox>(child);
    return SkipChild(child);
}

ReadResult InfeBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    items::Item item;
    if (GetVersion() == 2) {
        std::uint16_t id = 0;
        if (!data.Read(id)) return ReadResult::Error;
        item.id = id;
    } else if (!data.Read(item.id)) {
        return ReadResult::Error;
    }
    std::uint16_t protectionIndex = 0;
    if (!data.Read(protectionIndex) || !ReadCode(data, item.type)) return ReadResult::Error;
    data.CString();  // item name
    if (item.type == FourCc::FromString("mime")) {
        item.contentType = std::string(data.CString());
        data.CString();  // optional content encoding
    } else if (item.type == FourCc::FromString("uri ")) {
        data.CString();  // item URI type
    }
    GetContext().model.items.insert_or_assign(item.id, std::move(item));
    return ReadResult::Success;
}

ReadResult IlocBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::uint16_t sizes = 0;
    if (!data.Read(sizes)) return ReadResult::Error;
    std::size_t const offsetSize = sizes >> 12 & 0xF;
    std::size_t const lengthSize = sizes >> 8 & 0xF;
    std::size_t const baseOffsetSize = sizes >> 4 & 0xF;
    std::size_t const indexSize = GetVersion() >= 1 ? (sizes & 0xF) : 0;
    auto const valid = [](std::size_t n) { return n == 0 || n == 4 || n == 8; };
    if (!valid(offsetSize) || !valid(lengthSize) || !valid(baseOffsetSize) || !valid(indexSize)) {
        return ReadResult::Error;
    }
    std::size_t const idSize = GetVersion() == 2 ? 4 : 2;

    std::uint64_t itemCount = 0;
    if (!data.UInt(idSize, itemCount)) return ReadResult::Error;
    items::ItemModel& model = GetContext().model;
    // Each item takes at least six bytes, so the count is bounded by the data.
    for (std::uint64_t i = 0; i < itemCount; ++i) {
        std::uint64_t id = 0;
        items::ItemLocation location;
        if (!data.UInt(idSize, id)) return ReadResult::Error;
        if (GetVersion() >= 1) {
            std::uint16_t method = 0;
            if (!data.Read(method)) return ReadResult::Error;
            location.constructionMethod = static_cast<std::uint8_t>(method & 0xF);
            if (location.constructionMethod > 2) return ReadResult::Error;
        }
        std::uint16_t extentCount = 0;
        if (!data.Read(location.dataReferenceIndex) || !data.UInt(baseOffsetSize, location.baseOffset) ||
            !data.Read(extentCount)) {
            return ReadResult::Error;
        }
        location.extentCount = extentCount;
        std::size_t const extentSize = indexSize + offsetSize + lengthSize;
        if (extentSize == 0) {
            // Every extent is all zeros: nothing to step through.
            if (extentCount != 0) location.firstExtent = items::Extent{};
        } else {
            if (std::uint64_t{extentCount} * extentSize > data.Remaining()) return ReadResult::Error;
            for (std::uint16_t e = 0; e < extentCount; ++e) {
                items::Extent extent;
                if (!data.UInt(indexSize, extent.index) || !data.UInt(offsetSize, extent.offset) ||
                    !data.UInt(lengthSize, extent.length)) {
                    return ReadResult::Error;
                }
                if (e == 0) location.firstExtent = extent;
            }
        }
        model.locations.insert_or_assign(static_cast<std::uint32_t>(id), location);
    }
    return ReadResult::Success;
}

ReadResult IrefBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    if (child.HasExtendedType()) return SkipChild(child);
    return DelegateBox<IrefImplBox>(child, GetVersion() == 1);
}

ReadResult IrefImplBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::size_t const idSize = wideIds_ ? 4 : 2;
    std::uint64_t from = 0;
    std::uint16_t count = 0;
    if (!data.UInt(idSize, from) || !data.Read(count)) return ReadResult::Error;
    if (std::uint64_t{count} * idSize > data.Remaining()) return ReadResult::Error;
    FourCc const type = GetHeader().GetTypeBytes().Narrow();
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint64_t to = 0;
        if (!data.UInt(idSize, to)) return ReadResult::Error;
        GetContext().model.references.emplace(static_cast<std::uint32_t>(to),
                                              items::Reference{type, static_cast<std::uint32_t>(from)});
    }
    return ReadResult::Success;
}

// --- properties -------------------------------------------------------------

ReadResult IprpBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    if (child.GetTypeBytes() == Type("ipco")) return DelegateBox<IpcoBox>(child);
    if (child.GetTypeBytes() == Type("ipma")) return DelegateBox<IpmaBox>(child);
    return SkipChild(child);
}

ReadResult IpcoBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    std::vector<items::ItemProperty>& properties = GetContext().model.properties;
    std::size_t const before = properties.size();
    BoxType const& type = child.GetTypeBytes();
    ReadResult result = ReadResult::Success;
    if (type == Type("ispe")) {
        result = DelegateBox<IspeBox>(child);
    } else if (type == Type("pasp")) {
        result = DelegateBox<PaspBox>(child);
    } else if (type == Type("pixi")) {
        result = DelegateBox<PixiBox>(child);
    } else if (type == Type("colr")) {
        result = DelegateBox<ColrBox>(child);
    }
    // Whatever happened, the property keeps its place in the numbering.
    if (properties.size() == before) properties.push_back(items::ItemProperty{type.Narrow(), nullptr});
    properties.resize(before + 1);
    return result;
}

ReadResult IpmaBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::uint32_t entryCount = 0;
    if (!data.Read(entryCount)) return ReadResult::Error;
    bool const wideIndex = (GetFlags() & 1u) != 0;
    items::ItemModel& model = GetContext().model;
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        std::uint64_t item = 0;
        std::uint8_t count = 0;
        if (!data.UInt(GetVersion() < 1 ? 2 : 4, item) || !data.Read(count)) return ReadResult::Error;
        for (std::uint8_t a = 0; a < count; ++a) {
            items::Association association;
            if (wideIndex) {
                std::uint16_t v = 0;
                if (!data.Read(v)) return ReadResult::Error;
                association.essential = (v & 0x8000u) != 0;
                association.propertyIndex = static_cast<std::uint16_t>(v & 0x7FFFu);
            } else {
                std::uint8_t v = 0;
                if (!data.Read(v)) return ReadResult::Error;
                association.essential = (v & 0x80u) != 0;
                association.propertyIndex = static_cast<std::uint16_t>(v & 0x7Fu);
            }
            model.associations.emplace(static_cast<std::uint32_t>(item), association);
        }
    }
    return ReadResult::Success;
}

// --- data -------------------------------------------------------------------

ReadResult MdatOrIdatBox::Open() {
    ParseContext& context = GetContext();
    ReadResult resolved = ReadResult::Success;
    if (isIdat_) {
        context.model.idatPosition = GetPayloadOffset();
        resolved = Judge(context.model.ResolveInstructions());
        if (resolved > ReadResult::NotHandled) return resolved;
    }
    auto const limit =
        static_cast<long long>(std::min<std::uint64_t>(GetHeader().GetSize(), 0x7FFFFFFFFFFFFFFFull));
    ReadResult const followed = Follow(context.model.instructions, limit);
    return followed != ReadResult::Success ? followed : resolved;
}

ReadResult DinfBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    if (child.GetTypeBytes() == Type("dref")) return DelegateBox<DrefBox>(child);
    return SkipChild(child);
}

ReadResult DrefBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    if (child.GetTypeBytes() == Type("url ") || child.GetTypeBytes() == Type("urn ")) {
        return DelegateBox<DrefUrlBox>(child);
    }
    return SkipChild(child);
}

ReadResult DrefUrlBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    location_ = std::string(data.CString());
    return ReadResult::Success;
}

}  // namespace meta::isobmff
