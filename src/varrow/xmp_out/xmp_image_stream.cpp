#include "varrow/xmp_out/xmp_image_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace meta::xmp {
namespace {

constexpr int kBadParam = 4;
constexpr int kBadValue = 5;

std::size_t ToSize(std::int64_t n) {
    if (n < 0 || static_cast<std::uint64_t>(n) > std::numeric_limits<std::size_t>::max()) {
        throw XMP_Error(kBadParam, "New cursor position would be out of range");
    }
    return static_cast<std::size_t>(n);
}

}  // namespace

XmpImageStream::XmpImageStream(std::vector<meta::byte> buffer) : buffer_(std::move(buffer)) {}

XmpImageStream::XmpImageStream(meta::byte const* data, std::size_t size)
    : buffer_(data != nullptr ? std::vector<meta::byte>(data, data + size) : std::vector<meta::byte>()) {}

XmpImageStream::~XmpImageStream() = default;

std::vector<meta::byte> XmpImageStream::TakeBuffer() && {
    position_ = 0;
    return std::move(buffer_);
}

std::uint32_t XmpImageStream::Read(void* buffer, std::uint32_t count, bool readAll) {
    std::size_t const position = ToSize(position_);
    std::size_t const left = position < buffer_.size() ? buffer_.size() - position : 0;
    if (readAll && left < count) throw XMP_Error(kBadValue, "Insufficient data");
    std::size_t const n = std::min<std::size_t>(left, count);
    if (n > 0) std::memcpy(buffer, buffer_.data() + position, n);
    position_ += static_cast<std::int64_t>(n);
    return static_cast<std::uint32_t>(n);
}

void XmpImageStream::Write(void const* buffer, std::uint32_t count) {
    if (count == 0) return;
    std::size_t const position = ToSize(position_);
    if (buffer_.size() - std::min(position, buffer_.size()) < count) buffer_.resize(position + count);
    std::memcpy(buffer_.data() + position, buffer, count);
    position_ += count;
}

std::int64_t XmpImageStream::Seek(std::int64_t offset, SeekMode mode) {
    std::int64_t base = 0;
    switch (mode) {
        case kXMP_SeekFromStart: base = 0; break;
        case kXMP_SeekFromCurrent: base = position_; break;
        case kXMP_SeekFromEnd: base = static_cast<std::int64_t>(buffer_.size()); break;
        default: throw XMP_Error(kBadParam, "Invalid seek mode");
    }
    if ((offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset) || base + offset < 0) {
        throw XMP_Error(kBadParam, "New cursor position would be out of range");
    }
    std::int64_t const target = base + offset;
    std::size_t const size = ToSize(target);
    if (size > buffer_.size()) buffer_.resize(size);
    position_ = target;
    return position_;
}

std::int64_t XmpImageStream::Length() {
    return static_cast<std::int64_t>(buffer_.size());
}

void XmpImageStream::Truncate(std::int64_t length) {
    if (length < 0) throw XMP_Error(kBadParam, "New size would be less than zero");
    if (static_cast<std::uint64_t>(length) > buffer_.size()) {
        throw XMP_Error(kBadParam, "New size would be larger than current size");
    }
    buffer_.resize(static_cast<std::size_t>(length));
    position_ = std::min(position_, length);
}

XMP_IO* XmpImageStream::DeriveTemp() {
    temp_ = std::make_unique<XmpImageStream>();
    return temp_.get();
}

void XmpImageStream::AbsorbTemp() {
    if (!temp_) throw XMP_Error(kBadParam, "There is no temp to absorb");
    buffer_ = std::move(temp_->buffer_);
    temp_.reset();
    position_ = std::min(position_, static_cast<std::int64_t>(buffer_.size()));
}

void XmpImageStream::DeleteTemp() {
    temp_.reset();
}

}  // namespace meta::xmp
