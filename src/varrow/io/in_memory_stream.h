#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <streambuf>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/util/byte.h"

namespace meta {

// Read-only stream buffer over memory it does not own. The whole region is
// the get area from the start, so reads never call back into the buffer;
// only seeking needs overriding. There is no put area and nothing is ever
// written through the buffer.
class VARROW_API InMemoryStreamBuf : public std::streambuf {
  public:
    InMemoryStreamBuf() noexcept { Bind(nullptr, 0); }
    InMemoryStreamBuf(char const* data, std::size_t length) noexcept { Bind(data, length); }
    explicit InMemoryStreamBuf(std::string_view const& view) noexcept { Bind(view.data(), view.size()); }

    // Binds [data, data + length) with the cursor at its start. A null data
    // pointer binds an empty region whatever the length says.
    void Bind(char const* data, std::size_t length) noexcept;

    char const* GetData() const noexcept { return data_; }
    std::size_t GetLength() const noexcept { return length_; }
    // Get offset from the start of the bound region.
    std::size_t GetPosition() const noexcept { return static_cast<std::size_t>(gptr() - eback()); }

  protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

  private:
    char const* data_ = nullptr;
    std::size_t length_ = 0;
};

// An input stream that is its own stream buffer: one object, no allocation,
// never owns the bytes. The buffer base is declared first so it is built
// before the istream base is handed a pointer to it.
class VARROW_API InMemoryStream : public InMemoryStreamBuf, public std::istream {
  public:
    // Both bases define these; name the stream's so they are not ambiguous.
    using char_type = std::istream::char_type;
    using traits_type = std::istream::traits_type;
    using int_type = std::istream::int_type;
    using pos_type = std::istream::pos_type;
    using off_type = std::istream::off_type;
    using std::istream::getloc;

    InMemoryStream() : std::istream(static_cast<InMemoryStreamBuf*>(this)) {}
    InMemoryStream(char const* data, std::size_t length)
        : InMemoryStreamBuf(data, length), std::istream(static_cast<InMemoryStreamBuf*>(this)) {}
    InMemoryStream(meta::byte const* data, std::size_t length)
        : InMemoryStream(reinterpret_cast<char const*>(data), length) {}
    explicit InMemoryStream(std::string_view view) : InMemoryStream(view.data(), view.size()) {}

    // The istream base holds a pointer to this object's buffer base, so a
    // copy or move would read through the wrong buffer.
    InMemoryStream(InMemoryStream const&) = delete;
    InMemoryStream& operator=(InMemoryStream const&) = delete;

    ~InMemoryStream() override = default;

    // Clears the stream state and reads the new memory from its start.
    void Rebind(char const* data, std::size_t length);
    void Rebind(meta::byte const* data, std::size_t length) {
        Rebind(reinterpret_cast<char const*>(data), length);
    }
    // Clears the stream state and binds nothing: every read fails.
    void Unbind();
};

// Owning handle to a heap-allocated InMemoryStream, for callers that want to
// hand memory to the library without naming the stream type. Copies read the
// same memory through a stream of their own, starting at the same cursor and
// in the same state.
class VARROW_API InMemoryStreamInterface {
  public:
    InMemoryStreamInterface();
    InMemoryStreamInterface(char const* data, std::size_t length);
    InMemoryStreamInterface(meta::byte const* data, std::size_t length);

    InMemoryStreamInterface(InMemoryStreamInterface const& other);
    InMemoryStreamInterface& operator=(InMemoryStreamInterface const& other);
    ~InMemoryStreamInterface();

    void Rebind(char const* data, std::size_t length) { impl_->Rebind(data, length); }
    void Rebind(meta::byte const* data, std::size_t length) { impl_->Rebind(data, length); }
    void Unbind() { impl_->Unbind(); }

    InMemoryStream& GetImpl() noexcept { return *impl_; }
    InMemoryStream const& GetImpl() const noexcept { return *impl_; }

  private:
    // Never null: there is no moved-from state.
    std::unique_ptr<InMemoryStream> impl_;
};

}  // namespace meta
