#include "varrow/io/data_source.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace meta {

InMemoryStream DataSource::nullStream;

namespace {

// Defined after nullStream in this file, so it runs after its construction.
struct NullStreamPoison {
    NullStreamPoison() { DataSource::nullStream.setstate(std::ios_base::badbit); }
} const nullStreamPoison;

constexpr std::streamoff NoPosition = -1;
constexpr std::streamoff MaxOffset = std::numeric_limits<std::streamoff>::max();

// Chunk size when reading a stream to its end and its buffer cannot say how
// much is left; also caps a single chunk when it can.
constexpr std::size_t MinRestChunk = std::size_t{64} << 10;
constexpr std::size_t MaxRestChunk = std::size_t{64} << 20;

// An input is driven through its stream buffer: the stream layer would set
// failbit on a refused seek or a short read and then refuse everything after
// it, and tellg would fail outright on a stream at its end.
struct InputRef {
    std::istream* stream = nullptr;
    std::streambuf* buf = nullptr;

    bool Usable() const { return stream != nullptr && buf != nullptr && !stream->bad(); }
};

InputRef Resolve(std::variant<std::istream*, InMemoryStream*> const& input) {
    if (auto const* s = std::get_if<0>(&input); s != nullptr && *s != nullptr) return {*s, (*s)->rdbuf()};
    if (auto const* m = std::get_if<1>(&input); m != nullptr && *m != nullptr) {
        return {*m, static_cast<InMemoryStreamBuf*>(*m)};
    }
    return {};
}

// Called from a handler: a throwing stream buffer marks its stream bad, as a
// stream-level call would, and the exception goes on only if the stream
// asked for exceptions.
void MarkBad(std::istream& stream) {
    if ((stream.exceptions() & (stream.rdstate() | std::ios_base::badbit)) != 0) throw;
    stream.setstate(std::ios_base::badbit);
}

std::streamoff TellInput(InputRef const& in) {
    if (!in.Usable()) return NoPosition;
    try {
        return std::streamoff(in.buf->pubseekoff(0, std::ios_base::cur, std::ios_base::in));
    } catch (...) {
        MarkBad(*in.stream);
    }
    return NoPosition;
}

bool SeekInput(InputRef const& in, std::streamoff off, std::ios_base::seekdir dir, std::streamoff& result) {
    if (!in.Usable()) return false;
    try {
        result = std::streamoff(in.buf->pubseekoff(off, dir, std::ios_base::in));
    } catch (...) {
        MarkBad(*in.stream);
        return false;
    }
    if (result < 0) return false;
    // The stream is somewhere new: an earlier end-of-input no longer holds.
    in.stream->clear();
    return true;
}

// Whether p lies in [base, base + length], and its offset from base if so.
// Compared through std::less_equal, which orders unrelated pointers too.
bool OffsetWithin(char const* base, std::size_t length, char const* p, std::size_t& offset) {
    std::less_equal<char const*> const notAfter;
    if (base == nullptr || p == nullptr || !notAfter(base, p) || !notAfter(p, base + length)) return false;
    offset = static_cast<std::size_t>(p - base);
    return true;
}

}  // namespace

DataSource::DataSource(std::istream& input, std::streampos inputOffset)
    : input_(std::in_place_index<0>, &input), inputOffset_(inputOffset) {}

DataSource::DataSource(InMemoryStream& input, std::streampos inputOffset)
    : input_(std::in_place_index<1>, &input), inputOffset_(inputOffset) {}

// ---------------------------------------------------------------------------
// Access

DataSource::InputCategory DataSource::GetInputCategory() const noexcept {
    if (input_.valueless_by_exception()) return static_cast<InputCategory>(-1);
    return static_cast<InputCategory>(input_.index());
}

std::istream& DataSource::GetInputStream() const noexcept {
    InputRef const in = Resolve(input_);
    return in.stream != nullptr ? *in.stream : nullStream;
}

std::istream& DataSource::Yield() noexcept {
    if (provisioned_ != 0 || released_ != 0) DropWindow();
    InvalidateInputPosReckoning();
    return GetInputStream();
}

DataSource::operator bool() const noexcept {
    return provisioned_ != 0 &&
           (bufferStream_.rdstate() & (std::ios_base::failbit | std::ios_base::badbit)) == 0;
}

std::string_view DataSource::AsStringView(bool fromCursor) const {
    char const* const data = bufferStream_.GetData();
    std::size_t const length = bufferStream_.GetLength();
    std::string_view window;
    if (data != nullptr && released_ <= length)
        window = std::string_view(data + released_, length - released_);
    if (!fromCursor) return window;
    std::size_t const cursor = Cursor();
    if (cursor < released_) throw std::out_of_range("DataSource::AsStringView: cursor before the window");
    return window.substr(cursor - released_);
}

std::size_t DataSource::GetBytesUsable(bool whenUnlimited) const noexcept {
    if (!usableAll_) return usableLimit_;
    return whenUnlimited ? provisioned_ : std::numeric_limits<std::size_t>::max();
}

// ---------------------------------------------------------------------------
// Window plumbing

bool DataSource::PlaceCursor(std::size_t absolute) noexcept {
    if (absolute > static_cast<std::size_t>(MaxOffset)) return false;
    auto const offset = static_cast<std::streamoff>(absolute);
    return std::streamoff(bufferStream_.pubseekpos(offset, std::ios_base::in)) == offset;
}

void DataSource::BindWindow(char const* data, std::size_t length, std::size_t cursor, bool clearState) {
    if (clearState) bufferStream_.clear();
    if (data == nullptr || length == 0) {
        bufferStream_.Bind(nullptr, 0);
        return;
    }
    bufferStream_.Bind(data, length);
    PlaceCursor(cursor);
}

void DataSource::ReserveBuffer(std::size_t size) {
    std::size_t const capacity = buffer_.capacity();
    if (size <= capacity) return;
    std::size_t const grown = capacity > buffer_.max_size() / 2 ? size : std::max(size, 2 * capacity);
    // Note the binding before the bytes move: the old pointers go stale.
    bool const bound = bufferStream_.GetData() != nullptr;
    std::size_t const boundLength = bufferStream_.GetLength();
    std::size_t const cursor = Cursor();
    buffer_.reserve(grown);
    if (bound) BindWindow(buffer_.data(), boundLength, cursor, false);
}

void DataSource::DropWindow() noexcept {
    bufferStream_.Unbind();
    buffer_.clear();
    provisioned_ = 0;
    released_ = 0;
    usableAll_ = true;
}

std::streamoff DataSource::ReckonedOffset() const {
    if (!hasReckoning_) PrimeInputPosReckoning();
    return hasReckoning_ ? std::streamoff(reckoning_) : NoPosition;
}

bool DataSource::MoveInput(std::streamoff off, std::ios_base::seekdir dir, std::streamoff& result) const {
    return SeekInput(Resolve(input_), off, dir, result);
}

// ---------------------------------------------------------------------------
// Provisioning

bool DataSource::ProvisionData(std::size_t n) {
    if (!hasReckoning_) PrimeInputPosReckoning();
    if (n > MaxProvisionStep) return false;
    if (n == 0) return true;
    if (auto* const* s = std::get_if<0>(&input_); s != nullptr && *s != nullptr) {
        return ProvisionFromStream(**s, n);
    }
    if (auto* const* m = std::get_if<1>(&input_); m != nullptr && *m != nullptr) {
        return ProvisionFromMemory(**m, n);
    }
    return false;
}

bool DataSource::ProvisionFromStream(std::istream& in, std::size_t n) {
    std::streambuf* const buf = in.rdbuf();
    if (buf == nullptr || in.bad()) return false;
    std::size_t const cursor = Cursor();
    std::size_t const oldSize = buffer_.size();
    if (n > buffer_.max_size() - oldSize) return false;

    ReserveBuffer(oldSize + n);
    buffer_.resize(oldSize + n);
    std::streamsize got = 0;
    try {
        got = buf->sgetn(buffer_.data() + oldSize, static_cast<std::streamsize>(n));
    } catch (...) {
        buffer_.resize(oldSize);
        MarkBad(in);
        return false;
    }
    if (got == static_cast<std::streamsize>(n)) {
        AdjustInputPosReckoning(static_cast<long long>(n));
        BindWindow(buffer_.data(), buffer_.size(), cursor, true);
        provisioned_ += n;
        return true;
    }

    // End of input: add nothing, and put the input back at the window end so
    // that it still matches the reckoning.
    buffer_.resize(oldSize);
    std::streamoff back = 0;
    if (got > 0 && !SeekInput(Resolve(input_), -got, std::ios_base::cur, back)) InvalidateInputPosReckoning();
    return false;
}

bool DataSource::ProvisionFromMemory(InMemoryStream& in, std::size_t n) {
    if (!hasReckoning_) return false;
    auto const at = std::streamoff(reckoning_);
    char const* const data = in.GetData();
    std::size_t const length = in.GetLength();
    if (at < 0 || static_cast<std::size_t>(at) > length || n > length - static_cast<std::size_t>(at)) {
        return false;
    }

    char const* start = data == nullptr ? nullptr : data + at;
    std::size_t newLength = n;
    if (char const* const bound = bufferStream_.GetData(); bound != nullptr) {
        // The window only ever binds this input's bytes; checking it again
        // keeps a reckoning set by hand from widening it past the input's end.
        std::size_t boundStart = 0;
        std::size_t const boundLength = bufferStream_.GetLength();
        if (!OffsetWithin(data, length, bound, boundStart) || boundLength > length - boundStart ||
            n > length - boundStart - boundLength) {
            return false;
        }
        start = bound;
        newLength = boundLength + n;
    }

    std::size_t const cursor = Cursor();
    auto const end = at + static_cast<std::streamoff>(n);
    std::streamoff moved = 0;
    if (!MoveInput(end, std::ios_base::beg, moved)) return false;
    SetInputPosReckoning(end);
    BindWindow(start, newLength, cursor, true);
    provisioned_ += n;
    return true;
}

bool DataSource::ProvisionRemainingData() {
    if (!hasReckoning_) PrimeInputPosReckoning();
    if (auto* const* s = std::get_if<0>(&input_); s != nullptr && *s != nullptr) {
        return ProvisionRestOfStream(**s);
    }
    if (auto* const* m = std::get_if<1>(&input_); m != nullptr && *m != nullptr) {
        return ProvisionRestOfMemory(**m);
    }
    return false;
}

bool DataSource::ProvisionRestOfStream(std::istream& in) {
    std::streambuf* const buf = in.rdbuf();
    if (buf == nullptr || in.bad()) return false;
    std::size_t const cursor = Cursor();
    std::size_t const oldSize = buffer_.size();
    try {
        for (;;) {
            // A file buffer knows how much is left, so most inputs take one
            // chunk plus one empty read.
            std::streamsize const hint = buf->in_avail();
            std::size_t chunk = MinRestChunk;
            if (hint > 0 && static_cast<std::size_t>(hint) > chunk) {
                chunk = std::min(static_cast<std::size_t>(hint), MaxRestChunk);
            }
            std::size_t const before = buffer_.size();
            if (chunk > buffer_.max_size() - before) break;
            ReserveBuffer(before + chunk);
            buffer_.resize(before + chunk);
            std::streamsize const got =
                buf->sgetn(buffer_.data() + before, static_cast<std::streamsize>(chunk));
            buffer_.resize(before + static_cast<std::size_t>(std::max<std::streamsize>(got, 0)));
            if (got < static_cast<std::streamsize>(chunk)) break;
        }
    } catch (...) {
        buffer_.resize(oldSize);
        MarkBad(in);
        return false;
    }

    PrimeInputPosReckoning();
    if (in.bad()) {
        buffer_.resize(oldSize);
        return false;
    }
    BindWindow(buffer_.data(), buffer_.size(), cursor, true);
    provisioned_ = buffer_.size() - released_;
    return true;
}

bool DataSource::ProvisionRestOfMemory(InMemoryStream& in) {
    if (!hasReckoning_) return false;
    auto const at = std::streamoff(reckoning_);
    char const* const data = in.GetData();
    std::size_t const length = in.GetLength();
    if (at < 0 || static_cast<std::size_t>(at) > length) return false;

    char const* start = data == nullptr ? nullptr : data + at;
    std::size_t newLength = length - static_cast<std::size_t>(at);
    if (char const* const bound = bufferStream_.GetData(); bound != nullptr) {
        std::size_t boundStart = 0;
        if (!OffsetWithin(data, length, bound, boundStart) ||
            bufferStream_.GetLength() > length - boundStart) {
            return false;
        }
        start = bound;
        newLength = length - boundStart;
    }

    std::size_t const cursor = Cursor();
    auto const end = static_cast<std::streamoff>(length);
    std::streamoff moved = 0;
    if (!MoveInput(end, std::ios_base::beg, moved)) return false;
    SetInputPosReckoning(end);
    BindWindow(start, newLength, cursor, true);
    provisioned_ = newLength - released_;
    return true;
}

bool DataSource::EnsureProvision(std::size_t n) {
    if (provisioned_ >= n) return true;
    return ProvisionData(n - provisioned_);
}

bool DataSource::EnsureProvisionLocal(std::size_t n) {
    if (provisioned_ == 0) return n == 0 || ProvisionData(n);
    std::size_t const cursor = Cursor();
    std::size_t need = 0;
    if (cursor < released_) {
        std::size_t const before = released_ - cursor;
        if (n <= before) return true;
        need = n - before;
    } else {
        std::size_t const offset = cursor - released_;
        // No run that long can be provisioned; let ProvisionData refuse it.
        if (n > std::numeric_limits<std::size_t>::max() - offset) {
            return ProvisionData(std::numeric_limits<std::size_t>::max());
        }
        need = offset + n;
    }
    if (need > provisioned_) return ProvisionData(need - provisioned_);
    return true;
}

bool DataSource::AutoProvision(std::streampos at, long long n) {
    std::streamoff const p = ReckonedOffset();
    auto const target = std::streamoff(at);
    usableAll_ = true;

    std::streamoff moved = 0;
    if (target < p) {
        // Exact even when the signed difference would overflow.
        auto const distance = static_cast<unsigned long long>(p) - static_cast<unsigned long long>(target);
        if (distance <= provisioned_) {
            auto const kept = static_cast<std::size_t>(distance);
            released_ += provisioned_ - kept;
            provisioned_ = kept;
            bufferStream_.clear();
            PlaceCursor(released_);
        } else {
            ++seeksBackward_;
            if (MoveInput(target, std::ios_base::beg, moved)) {
                SetInputPosReckoning(target);
                DropWindow();
            }
        }
    } else if (target == p) {
        DropWindow();
    } else {
        if (!MoveInput(target, std::ios_base::beg, moved)) return false;
        SetInputPosReckoning(target);
        DropWindow();
        ++seeksForward_;
    }

    if (n == 0) return ProvisionRemainingData();
    if (std::cmp_less_equal(n, provisioned_)) return true;
    return ProvisionData(static_cast<std::size_t>(n) - provisioned_);
}

void DataSource::UnprovisionData() noexcept {
    DropWindow();
}

void DataSource::UnprovisionData(std::size_t n) noexcept {
    if (n < provisioned_) {
        provisioned_ -= n;
        released_ += n;
        bufferStream_.clear();
        PlaceCursor(released_);
        return;
    }
    if (n == 0 && released_ == 0) return;
    DropWindow();
}

// ---------------------------------------------------------------------------
// Seeking

bool DataSource::SeekBufferTo(std::streampos p, bool fenced) {
    auto const offset = std::streamoff(p);
    if (fenced && !usableAll_ && offset > 0 && static_cast<unsigned long long>(offset) > usableLimit_) {
        return false;
    }
    // Refused like any seek outside the bound region.
    if (offset < 0 ||
        static_cast<unsigned long long>(offset) >
            static_cast<unsigned long long>(MaxOffset) - static_cast<unsigned long long>(released_)) {
        bufferStream_.setstate(std::ios_base::failbit);
        return false;
    }
    bufferStream_.seekg(std::streampos(static_cast<std::streamoff>(released_) + offset));
    return bufferStream_.good();
}

bool DataSource::SeekBufferBy(long long d, bool fenced) {
    // Window-relative target; cursor and released both fit a streamoff.
    auto const relative = static_cast<std::streamoff>(Cursor()) - static_cast<std::streamoff>(released_);
    std::streamoff target = 0;
    if (__builtin_add_overflow(relative, d, &target)) return false;
    if (fenced && !usableAll_ && target > 0 && static_cast<unsigned long long>(target) > usableLimit_) {
        return false;
    }
    if (target < 0) return false;
    bufferStream_.seekg(d, std::ios_base::cur);
    return bufferStream_.good();
}

bool DataSource::SeekInputTo(std::streampos p) {
    auto const target = std::streamoff(p);
    std::streamoff moved = 0;
    if (!MoveInput(target, std::ios_base::beg, moved)) return false;
    SetInputPosReckoning(target);
    DropWindow();
    return true;
}

bool DataSource::SeekInputBy(long long d) {
    std::streamoff moved = 0;
    if (!MoveInput(d, std::ios_base::cur, moved)) return false;
    // The stream reports where the seek went, which is reckoning + d when
    // the reckoning was right and repairs it when it was not.
    SetInputPosReckoning(moved);
    DropWindow();
    return true;
}

// ---------------------------------------------------------------------------
// Positions

std::streampos DataSource::GetBufferPos() const noexcept {
    return std::streampos(static_cast<std::streamoff>(Cursor()) - static_cast<std::streamoff>(released_));
}

std::streampos DataSource::GetBufferOffset() const {
    std::streamoff const end = ReckonedOffset();
    if (end < 0 || static_cast<unsigned long long>(end) < provisioned_) return NoPosition;
    return end - static_cast<std::streamoff>(provisioned_);
}

std::streampos DataSource::GetBufferPosInInput() const {
    auto const start = std::streamoff(GetBufferOffset());
    if (start < 0) return NoPosition;
    std::streamoff pos = 0;
    if (__builtin_add_overflow(start, std::streamoff(GetBufferPos()), &pos) || pos < 0) return NoPosition;
    return pos;
}

std::streampos DataSource::GetBufferPosInDoc() const {
    auto const pos = std::streamoff(GetBufferPosInInput());
    if (pos < 0) return NoPosition;
    std::streamoff doc = 0;
    if (__builtin_add_overflow(pos, std::streamoff(inputOffset_), &doc) || doc < 0) return NoPosition;
    return doc;
}

std::streampos DataSource::GetInputStreamPos() const {
    return ReckonedOffset();
}

std::streampos DataSource::GetInputStreamLen(bool restore) const {
    std::streamoff const here = ReckonedOffset();
    std::streamoff end = NoPosition;
    if (!MoveInput(0, std::ios_base::end, end)) return NoPosition;
    if (!restore) {
        SetInputPosReckoning(end);
        return end;
    }
    std::streamoff back = NoPosition;
    if (here >= 0 && MoveInput(here, std::ios_base::beg, back)) {
        SetInputPosReckoning(here);
    } else {
        InvalidateInputPosReckoning();
    }
    return end;
}

std::streampos DataSource::PrimeInputPosReckoning() const {
    std::streamoff const pos = TellInput(Resolve(input_));
    reckoning_ = pos;
    hasReckoning_ = pos >= 0;
    return pos;
}

void DataSource::AdjustInputPosReckoning(long long d) const noexcept {
    std::streamoff sum = 0;
    if (__builtin_add_overflow(std::streamoff(reckoning_), d, &sum)) {
        hasReckoning_ = false;
        return;
    }
    reckoning_ = sum;
}

// ---------------------------------------------------------------------------
// Scoped holds

ScopedBufferPosHold DataSource::HoldBufferPos() noexcept {
    return ScopedBufferPosHold(*this, std::streamoff(GetBufferPos()));
}

ScopedUsableBytesHold DataSource::HoldUsableBytes() noexcept {
    return ScopedUsableBytesHold(*this, usableAll_, usableLimit_);
}

ScopedInputStreamPosHold DataSource::HoldInputStreamPos() {
    return ScopedInputStreamPosHold(*this, ReckonedOffset());
}

std::ostream& operator<<(std::ostream& os, DataSource::InputCategory category) {
    switch (category) {
        case DataSource::InputCategory::Standard: return os << "Standard";
        case DataSource::InputCategory::Memory: return os << "Memory";
    }
    return os << "Unknown (" << static_cast<int>(category) << ")";
}

}  // namespace meta
