#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"
#include "varrow/xmp_out/rdf_serialisation_mode.h"

namespace meta {

namespace xmp {
template <class TString>
class TXMPMeta;
}  // namespace xmp

// Turns an XMP packet into items: one XmpMetadatum per top-level property,
// in the group of the property's namespace (XmpPassthrough for namespaces
// the library does not know, unless Options::dropUnknownXmp drops them).
// Properties that cannot be read as their definition declares are skipped.
// Malformed RDF is not a ReadResult: the toolkit's XMP_Error reaches the
// caller of the read.
class VARROW_API XmpProcessor : public Processor {
  public:
    using Processor::Processor;

    // The packet is the provisioned window from the cursor to the usable
    // limit when the caller provisioned one, else the whole input. Text
    // before a "<?xpacket" found in its first bytes is dropped (see
    // FindPacket), and so is what follows the x:xmpmeta element
    // (DropTrailer). The toolkit name of the x:xmpmeta element, which the
    // parsed tree no longer holds, becomes the item XmpX "xmptk".
    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;

    // Items from a parsed tree (also for trees handed in by the caller).
    ReadResult Read(xmp::TXMPMeta<std::string> const& meta, std::shared_ptr<ReadStore> const& store,
                    Metadata& metadata, FieldGroup group = FieldGroup::Unknown);

    // The collection as an XMP tree: every item that maps to an XMP
    // property, XMP items under their own namespaces, exif:Flash as a
    // structure; corrected and sorted. Toolkit failures throw XMP_Error.
    xmp::TXMPMeta<std::string> WriteTree(Metadata const& metadata) const;
    // WriteTree as RDF/XML text.
    std::string Write(Metadata const& metadata, xmp::RdfSerialisationMode mode) const;
    // exif:Flash as the structure of the bits of the EXIF (or else XMP)
    // Flash item's 16-bit value; nothing for any other value.
    static void BuildExifFlashStructure(Metadata const& metadata, xmp::TXMPMeta<std::string>& tree);

  private:
    void AddToolkitName(std::string_view packet, std::shared_ptr<ReadStore> const& store,
                        Metadata& metadata) const;
};

}  // namespace meta
