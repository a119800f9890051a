#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <ios>
#include <limits>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>

#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"

namespace meta::io_test {

// Bytes whose value tells their offset (modulo a prime), so a view that
// starts or ends one byte off never compares equal.
inline std::string Pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i % 251);
    return s;
}

// Where the input stream really is, asked of its buffer so that the
// stream's own state cannot get in the way.
inline std::streamoff ActualPos(std::istream& in) {
    return std::streamoff(in.rdbuf()->pubseekoff(0, std::ios_base::cur, std::ios_base::in));
}

// A source over a caller's std::istream.
struct StandardCase {
    static constexpr DataSource::InputCategory Category = DataSource::InputCategory::Standard;
    StandardCase(std::string data, std::streampos offset)
        : bytes(std::move(data)), stream(bytes), source(stream, offset) {}
    std::istream& Input() { return stream; }

    std::string bytes;
    std::istringstream stream;
    DataSource source;
};

// A source over caller memory.
struct MemoryCase {
    static constexpr DataSource::InputCategory Category = DataSource::InputCategory::Memory;
    MemoryCase(std::string data, std::streampos offset)
        : bytes(std::move(data)), stream(bytes.data(), bytes.size()), source(stream, offset) {}
    std::istream& Input() { return stream; }

    std::string bytes;
    InMemoryStream stream;
    DataSource source;
};

inline constexpr std::size_t NoLimit = std::numeric_limits<std::size_t>::max();

inline std::streamoff Off(std::streampos p) {
    return std::streamoff(p);
}

// Bytes [from, from + n) of the case's input.
template <class Case>
std::string_view Bytes(Case const& c, std::size_t from, std::size_t n = std::string_view::npos) {
    return std::string_view(c.bytes).substr(from, n);
}

template <class Case>
std::unique_ptr<Case> MakeCase(std::size_t n, std::streampos offset = 0) {
    return std::make_unique<Case>(Pattern(n), offset);
}

struct CaseNames {
    template <class Case>
    static std::string GetName(int) {
        std::ostringstream os;
        os << Case::Category;
        return os.str();
    }
};

// A pipe-like input: hands out its bytes a few at a time through underflow
// and cannot seek or tell its position.
class TrickleBuf : public std::streambuf {
  public:
    TrickleBuf(std::string data, std::size_t step) : data_(std::move(data)), step_(step) {}

  protected:
    int_type underflow() override {
        if (next_ >= data_.size()) return traits_type::eof();
        std::size_t const n = std::min(step_, data_.size() - next_);
        char* const begin = data_.data() + next_;
        setg(begin, begin, begin + n);
        next_ += n;
        return traits_type::to_int_type(*begin);
    }

  private:
    std::string data_;
    std::size_t step_;
    std::size_t next_ = 0;
};

// An input whose buffer throws on every read.
class ThrowingBuf : public std::streambuf {
  protected:
    int_type underflow() override { throw std::runtime_error("device gone"); }
};

}  // namespace meta::io_test
