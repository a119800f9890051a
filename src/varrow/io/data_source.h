#pragma once

#include <cstddef>
#include <ios>
#include <iosfwd>
#include <istream>
#include <string_view>
#include <variant>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/io/scoped_holds.h"

namespace meta {

// The reading window every processor parses through. It wraps a caller's
// input stream (never owned) and adds:
//  - provisioning: a contiguous run of input bytes, the window, readable as
//    an in-memory stream (the buffer stream) and as a string view. Memory
//    inputs are bound in place; stream inputs are copied once into a buffer
//    whose capacity is reused across windows;
//  - a cached input position (the reckoning) that spares tellg calls and
//    relates buffer positions to the input and to the whole document;
//  - an optional usable-byte limit that fences buffer seeks.
//
// Window byte k is byte released + k of the bound region, and the window
// always ends at the input stream's position. Input streams are driven
// through their stream buffers: a refused seek or a short read leaves the
// stream usable, and a successful input seek clears its eof and fail bits.
class VARROW_API DataSource {
  public:
    enum class InputCategory : int { Standard = 0, Memory = 1 };

    // Most bytes one ProvisionData call adds; larger regions are taken with
    // ProvisionRemainingData or AutoProvision(at, 0).
    static constexpr std::size_t MaxProvisionStep = std::size_t{1} << 20;

    // Never bound and born bad: handed out when there is no input.
    static InMemoryStream nullStream;

    DataSource(std::istream& input, std::streampos inputOffset);
    DataSource(InMemoryStream& input, std::streampos inputOffset);

    // Holds point back at the source and the buffer stream at the buffer.
    DataSource(DataSource const&) = delete;
    DataSource& operator=(DataSource const&) = delete;

    // Leaves the input wherever the last operation put it.
    ~DataSource() = default;

    // --- Access ---------------------------------------------------------

    operator std::istream&() noexcept { return bufferStream_; }
    std::istream& AsStream() noexcept { return bufferStream_; }
    InMemoryStream const& GetBuffer() const noexcept { return bufferStream_; }

    InputCategory GetInputCategory() const noexcept;
    std::istream& GetInputStream() const noexcept;
    std::istream& AsInputStreamRef() const noexcept { return GetInputStream(); }

    // Drops the window, forgets the reckoning and hands out the input for
    // direct reading. Position the source again with SeekInputTo or
    // AutoProvision afterwards.
    std::istream& Yield() noexcept;

    // A non-empty window whose buffer stream has not failed.
    explicit operator bool() const noexcept;

    std::size_t GetBytesProvisioned() const noexcept { return provisioned_; }

    // The window; with fromCursor, the part from the buffer cursor on.
    // Throws std::out_of_range when the cursor lies outside the window.
    std::string_view AsStringView(bool fromCursor = false) const;

    // The usable-byte limit; without one, the window size (whenUnlimited)
    // or the largest size_t.
    std::size_t GetBytesUsable(bool whenUnlimited = true) const noexcept;

    std::size_t GetNumSeeksForward() const noexcept { return seeksForward_; }
    std::size_t GetNumSeeksBackward() const noexcept { return seeksBackward_; }
    std::streampos GetInputOffset() const noexcept { return inputOffset_; }

    // --- Provisioning ---------------------------------------------------

    // Extends the window by the next n input bytes (at most MaxProvisionStep).
    // At the end of the input nothing is added and the input stays at the
    // window end.
    bool ProvisionData(std::size_t n);
    // Extends the window to the end of the input.
    bool ProvisionRemainingData();
    // Makes the window at least n bytes long.
    bool EnsureProvision(std::size_t n);
    // Makes at least n bytes available after the buffer cursor.
    bool EnsureProvisionLocal(std::size_t n);
    // Makes the window start at input position `at` and hold n bytes (all
    // the rest of the input for n = 0). Removes the usable-byte limit. A
    // target inside the window is reached without touching the input.
    bool AutoProvision(std::streampos at, long long n);
    // Drops the window.
    void UnprovisionData() noexcept;
    // Releases the first n window bytes and puts the cursor at the new
    // window start; n >= window size drops the window.
    void UnprovisionData(std::size_t n) noexcept;
    void MarkAsUsable() noexcept { usableAll_ = true; }
    void MarkAsUsable(std::size_t n) noexcept {
        usableAll_ = false;
        usableLimit_ = n;
    }

    // --- Seeking --------------------------------------------------------

    // Moves the buffer cursor to window offset p; with fenced, a target
    // beyond the usable-byte limit is refused without touching the stream.
    bool SeekBufferTo(std::streampos p, bool fenced = true);
    // Moves the buffer cursor by d; never before the window start.
    bool SeekBufferBy(long long d, bool fenced = true);
    // Input seeks drop the window on success and leave it alone on failure.
    bool SeekInputTo(std::streampos p);
    bool SeekInputBy(long long d);

    // --- Positions ------------------------------------------------------
    // Positions that cannot be known have offset -1.

    std::streampos GetBufferPos() const noexcept;
    std::streampos GetBufferOffset() const;
    std::streampos GetBufferPosInInput() const;
    std::streampos GetBufferPosInDoc() const;
    std::streampos GetInputStreamPos() const;
    std::streampos GetInputStreamPosUnchecked() const { return GetInputStreamPos(); }
    // The input's end position. With restore the input goes back to where it
    // was; otherwise it stays at the end and the reckoning says so.
    std::streampos GetInputStreamLen(bool restore = true) const;

    bool HasInputPosReckoning() const noexcept { return hasReckoning_; }
    std::streampos PrimeInputPosReckoning() const;
    void SetInputPosReckoning(std::streampos p) const noexcept {
        reckoning_ = p;
        hasReckoning_ = true;
    }
    void AdjustInputPosReckoning(long long d) const noexcept;
    void InvalidateInputPosReckoning() const noexcept { hasReckoning_ = false; }

    // --- Scoped holds ---------------------------------------------------

    [[nodiscard]] ScopedBufferPosHold HoldBufferPos() noexcept;
    [[nodiscard]] ScopedUsableBytesHold HoldUsableBytes() noexcept;
    [[nodiscard]] ScopedInputStreamPosHold HoldInputStreamPos();

  private:
    friend class ScopedBufferPosHold;
    friend class ScopedUsableBytesHold;
    friend class ScopedInputStreamPosHold;

    std::size_t Cursor() const noexcept { return bufferStream_.GetPosition(); }
    // Moves the cursor without regard to the buffer stream's state.
    bool PlaceCursor(std::size_t absolute) noexcept;
    // Binds the buffer stream to [data, data + length) and puts the cursor
    // back at `cursor`; an empty region leaves it unbound.
    void BindWindow(char const* data, std::size_t length, std::size_t cursor, bool clearState);
    // Reserves buffer room for `size` bytes, growing at least geometrically,
    // and keeps the buffer stream bound to the (possibly moved) bytes.
    void ReserveBuffer(std::size_t size);
    void DropWindow() noexcept;
    std::streamoff ReckonedOffset() const;
    bool MoveInput(std::streamoff off, std::ios_base::seekdir dir, std::streamoff& result) const;

    bool ProvisionFromStream(std::istream& in, std::size_t n);
    bool ProvisionFromMemory(InMemoryStream& in, std::size_t n);
    bool ProvisionRestOfStream(std::istream& in);
    bool ProvisionRestOfMemory(InMemoryStream& in);

    std::variant<std::istream*, InMemoryStream*> input_;
    std::streampos inputOffset_;
    mutable std::streampos reckoning_{std::streamoff{-1}};
    mutable bool hasReckoning_ = false;
    std::vector<char> buffer_;
    InMemoryStream bufferStream_;
    std::size_t provisioned_ = 0;
    std::size_t released_ = 0;
    bool usableAll_ = true;
    std::size_t usableLimit_ = 0;
    std::size_t seeksForward_ = 0;
    std::size_t seeksBackward_ = 0;
};

VARROW_API std::ostream& operator<<(std::ostream& os, DataSource::InputCategory category);

}  // namespace meta
