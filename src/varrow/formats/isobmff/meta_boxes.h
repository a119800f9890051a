#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "varrow/api/export.h"
#include "varrow/formats/isobmff/box.h"

namespace meta::isobmff {

// "ftyp": major brand, minor version and compatible brands. NotHandled when
// none of the brands is one this reader was made for (the walk goes on).
class VARROW_API FtypBox : public Box {
  public:
    using Box::Box;
    static bool IsSupportedBrand(FourCc const& brand) noexcept;

  protected:
    ReadResult Open() override;
};

// "meta" (version 0, flags 0): the item information of an image file.
// Every child after a handler other than "pict" is skipped.
class VARROW_API MetaBox : public ContainerBox {
  public:
    using ContainerBox::ContainerBox;
    // Applies the primary item's properties and resolves the extraction
    // instructions.
    ReadResult PostRead() override;

  protected:
    bool HasFlags() const override { return true; }
    bool IsSupported() const override { return GetVersion() == 0 && GetFlags() == 0; }
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;

  private:
    FourCc handler_;
    bool sawHandler_ = false;
};

// "hdlr": the handler type, 4 bytes after pre_defined.
class VARROW_API HdlrBox : public Box {
  public:
    HdlrBox(ParseContext& context, BoxHeader const& header, FourCc& handler) noexcept
        : Box(context, header), handler_(handler) {}

  protected:
    bool HasFlags() const override { return true; }
    ReadResult Open() override;

  private:
    FourCc& handler_;
};

// "pitm": the primary item id.
class VARROW_API PitmBox : public Box {
  public:
    using Box::Box;

  protected:
    bool HasFlags() const override { return true; }
    bool IsSupported() const override { return GetVersion() <= 1 && GetFlags() == 0; }
    ReadResult Open() override;
};

// "iinf": an entry count, then "infe" boxes.
class VARROW_API IinfBox : public ContainerBox {
  public:
    using ContainerBox::ContainerBox;

  protected:
    bool HasFlags() const override { return true; }
    bool IsSupported() const override { return GetVersion() <= 1 && GetFlags() == 0; }
    ReadResult Open() override { return OpenImpl(GetVersion() == 0 ? 2 : 4); }
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// "infe" (version 2 or 3): one item.
class VARROW_API InfeBox : public Box {
  public:
    using Box::Box;

  protected:
    bool HasFlags() const override { return true; }
    bool IsSupported() const override { return GetVersion() == 2 || GetVersion() == 3; }
    ReadResult Open() override;
};

// "iloc" (version 0 to 2, flags 0): where the items' data lies.
class VARROW_API IlocBox : public Box {
  public:
    using Box::Box;

  protected:
    bool HasFlags() const override { return true; }
    bool IsSupported() const override { return GetVersion() <= 2 && GetFlags() == 0; }
    ReadResult Open() override;
};

// "iref": one child per reference type.
class VARROW_API IrefBox : public ContainerBox {
  public:
    using ContainerBox::ContainerBox;

  protected:
    bool HasFlags() const override { return true; }
    bool IsSupported() const override { return GetVersion() <= 1 && GetFlags() == 0; }
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// A reference of one type (the box type) from one item to others; item ids
// are 32-bit when the "iref" box has version 1.
class VARROW_API IrefImplBox : public Box {
  public:
    IrefImplBox(ParseContext& context, BoxHeader const& header, bool wideIds) noexcept
        : Box(context, header), wideIds_(wideIds) {}

  protected:
    ReadResult Open() override;

  private:
    bool wideIds_;
};

// "iprp": "ipco" and "ipma".
class VARROW_API IprpBox : public ContainerBox {
  public:
    using ContainerBox::ContainerBox;

  protected:
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// "ipco": the properties, indexed from 1 in file order.
class VARROW_API IpcoBox : public ContainerBox {
  public:
    using ContainerBox::ContainerBox;

  protected:
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// "ipma" (version 0 or 1): which properties belong to which item.
class VARROW_API IpmaBox : public Box {
  public:
    using Box::Box;

  protected:
    bool HasFlags() const override { return true; }
    bool IsSupported() const override { return GetVersion() <= 1; }
    ReadResult Open() override;
};

// "mdat" or "idat": runs the extraction instructions whose data lies inside.
// An idat box first records where its payload is and resolves what waited
// for it.
class VARROW_API MdatOrIdatBox : public Box {
  public:
    MdatOrIdatBox(ParseContext& context, BoxHeader const& header, bool isIdat) noexcept
        : Box(context, header), isIdat_(isIdat) {}

  protected:
    ReadResult Open() override;

  private:
    bool isIdat_;
};

// "dinf": holds "dref".
class VARROW_API DinfBox : public ContainerBox {
  public:
    using ContainerBox::ContainerBox;

  protected:
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// "dref": an entry count, then "url " and "urn " boxes.
class VARROW_API DrefBox : public ContainerBox {
  public:
    using ContainerBox::ContainerBox;

  protected:
    bool HasFlags() const override { return true; }
    ReadResult Open() override { return OpenImpl(4); }
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// "url " or "urn ": a data reference; flag 1 means "in this file".
class VARROW_API DrefUrlBox : public Box {
  public:
    using Box::Box;
    bool IsSelfContained() const noexcept { return (GetFlags() & 1u) != 0; }
    std::string const& GetLocation() const noexcept { return location_; }

  protected:
    bool HasFlags() const override { return true; }
    ReadResult Open() override;

  private:
    std::string location_;
};

}  // namespace meta::isobmff
