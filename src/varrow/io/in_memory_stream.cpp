#include "varrow/io/in_memory_stream.h"

namespace meta {

void InMemoryStreamBuf::Bind(char const* data, std::size_t length) noexcept {
    if (data == nullptr) length = 0;
    data_ = data;
    length_ = length;
    // The get area is never written through: there is no put area and
    // putback only steps back over bytes that match.
    char* const begin = const_cast<char*>(data);
    setg(begin, begin, data == nullptr ? begin : begin + length);
}

InMemoryStreamBuf::pos_type InMemoryStreamBuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                                       std::ios_base::openmode which) {
    pos_type const refused{off_type{-1}};
    if ((which & std::ios_base::in) == 0) return refused;

    std::size_t base = 0;
    if (dir == std::ios_base::cur) {
        base = GetPosition();
    } else if (dir == std::ios_base::end) {
        base = length_;
    } else if (dir != std::ios_base::beg) {
        return refused;
    }
    if (data_ == nullptr && base != 0) return refused;

    // base + off must land in [0, length]; compare in unsigned terms so that
    // no sum or negation can wrap.
    std::size_t target = 0;
    if (off < 0) {
        auto const back = static_cast<std::size_t>(-(off + 1)) + 1;
        if (back > base) return refused;
        target = base - back;
    } else {
        auto const ahead = static_cast<std::size_t>(off);
        if (ahead > length_ - base) return refused;
        target = base + ahead;
    }
    char* const begin = eback();
    setg(begin, begin + target, egptr());
    return pos_type(static_cast<off_type>(target));
}

InMemoryStreamBuf::pos_type InMemoryStreamBuf::seekpos(pos_type pos, std::ios_base::openmode which) {
    return seekoff(off_type(pos), std::ios_base::beg, which);
}

void InMemoryStream::Rebind(char const* data, std::size_t length) {
    clear();
    Bind(data, length);
}

void InMemoryStream::Unbind() {
    clear();
    Bind(nullptr, 0);
}

InMemoryStreamInterface::InMemoryStreamInterface() : impl_(std::make_unique<InMemoryStream>()) {}

InMemoryStreamInterface::InMemoryStreamInterface(char const* data, std::size_t length)
    : impl_(std::make_unique<InMemoryStream>(data, length)) {}

InMemoryStreamInterface::InMemoryStreamInterface(meta::byte const* data, std::size_t length)
    : impl_(std::make_unique<InMemoryStream>(data, length)) {}

InMemoryStreamInterface::InMemoryStreamInterface(InMemoryStreamInterface const& other)
    : impl_(std::make_unique<InMemoryStream>(other.impl_->GetData(), other.impl_->GetLength())) {
    impl_->pubseekpos(static_cast<std::streamoff>(other.impl_->GetPosition()), std::ios_base::in);
    impl_->clear(other.impl_->rdstate());
}

InMemoryStreamInterface& InMemoryStreamInterface::operator=(InMemoryStreamInterface const& other) {
    if (this != &other) {
        impl_->Rebind(other.impl_->GetData(), other.impl_->GetLength());
        impl_->pubseekpos(static_cast<std::streamoff>(other.impl_->GetPosition()), std::ios_base::in);
        impl_->clear(other.impl_->rdstate());
    }
    return *this;
}

InMemoryStreamInterface::~InMemoryStreamInterface() = default;

}  // namespace meta
