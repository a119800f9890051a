// Packets for the XMP reader tests, written as text.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "varrow/api/initialiser.h"

namespace meta::test {

inline constexpr char const* kDcNs = "http://purl.org/dc/elements/1.1/";
inline constexpr char const* kXmpNs = "http://ns.adobe.com/xap/1.0/";
inline constexpr char const* kFooNs = "http://example.com/foo/1.0/";

// One rdf:Description holding `body`, with the usual schemas declared and
// "foo" as a namespace no table knows.
inline std::string XmpPacket(std::string_view body) {
    std::string packet =
        R"(<?xpacket begin="" id="W5M0MpCehiHzreSzNTczkc9d"?>)"
        R"(<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">)"
        R"(<rdf:Description rdf:about="" xmlns:dc="http://purl.org/dc/elements/1.1/")"
        R"( xmlns:xmp="http://ns.adobe.com/xap/1.0/" xmlns:photoshop="http://ns.adobe.com/photoshop/1.0/")"
        R"( xmlns:xmpMM="http://ns.adobe.com/xap/1.0/mm/")"
        R"( xmlns:stEvt="http://ns.adobe.com/xap/1.0/sType/ResourceEvent#")"
        R"( xmlns:exif="http://ns.adobe.com/exif/1.0/" xmlns:tiff="http://ns.adobe.com/tiff/1.0/")"
        R"( xmlns:foo="http://example.com/foo/1.0/">)";
    packet += body;
    packet += R"(</rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end="w"?>)";
    return packet;
}

// Keeps the toolkit initialised for the tests of one program.
inline std::shared_ptr<Initialiser> const& XmpToolkit() {
    static std::shared_ptr<Initialiser> const initialiser =
        Initialiser::Create(Initialiser::Mode::InitialiseXmp);
    return initialiser;
}

}  // namespace meta::test
