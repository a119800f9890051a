#include "varrow/io/scoped_holds.h"

#include <limits>
#include <utility>

#include "varrow/io/data_source.h"

namespace meta {

// --- ScopedBufferPosHold ----------------------------------------------------

ScopedBufferPosHold::ScopedBufferPosHold(ScopedBufferPosHold&& other) noexcept
    : source_(std::exchange(other.source_, nullptr)), saved_(other.saved_) {}

ScopedBufferPosHold& ScopedBufferPosHold::operator=(ScopedBufferPosHold&& other) noexcept {
    if (this != &other) {
        Restore();
        source_ = std::exchange(other.source_, nullptr);
        saved_ = other.saved_;
    }
    return *this;
}

ScopedBufferPosHold::~ScopedBufferPosHold() {
    Restore();
}

void ScopedBufferPosHold::Restore() noexcept {
    DataSource* const source = std::exchange(source_, nullptr);
    if (source == nullptr) return;
    // A fence set meanwhile wins over the saved position.
    if (!source->usableAll_ && saved_ > 0 && static_cast<unsigned long long>(saved_) > source->usableLimit_) {
        return;
    }
    std::size_t const released = source->released_;
    if (saved_ < 0) {
        auto const back = static_cast<std::size_t>(-(saved_ + 1)) + 1;
        if (back <= released) source->PlaceCursor(released - back);
        return;
    }
    auto const ahead = static_cast<std::size_t>(saved_);
    // The buffer refuses a position beyond the bound region (window dropped
    // or shrunk meanwhile), leaving the cursor where it is.
    if (ahead <= std::numeric_limits<std::size_t>::max() - released) source->PlaceCursor(released + ahead);
}

// --- ScopedUsableBytesHold --------------------------------------------------

ScopedUsableBytesHold::ScopedUsableBytesHold(ScopedUsableBytesHold&& other) noexcept
    : source_(std::exchange(other.source_, nullptr)), all_(other.all_), limit_(other.limit_) {}

ScopedUsableBytesHold& ScopedUsableBytesHold::operator=(ScopedUsableBytesHold&& other) noexcept {
    if (this != &other) {
        Restore();
        source_ = std::exchange(other.source_, nullptr);
        all_ = other.all_;
        limit_ = other.limit_;
    }
    return *this;
}

ScopedUsableBytesHold::~ScopedUsableBytesHold() {
    Restore();
}

void ScopedUsableBytesHold::Restore() noexcept {
    DataSource* const source = std::exchange(source_, nullptr);
    if (source == nullptr) return;
    source->usableAll_ = all_;
    source->usableLimit_ = limit_;
}

// --- ScopedInputStreamPosHold -----------------------------------------------

ScopedInputStreamPosHold::ScopedInputStreamPosHold(ScopedInputStreamPosHold&& other) noexcept
    : source_(std::exchange(other.source_, nullptr)), saved_(other.saved_) {}

ScopedInputStreamPosHold& ScopedInputStreamPosHold::operator=(ScopedInputStreamPosHold&& other) noexcept {
    if (this != &other) {
        Restore();
        source_ = std::exchange(other.source_, nullptr);
        saved_ = other.saved_;
    }
    return *this;
}

ScopedInputStreamPosHold::~ScopedInputStreamPosHold() {
    Restore();
}

void ScopedInputStreamPosHold::Restore() noexcept {
    DataSource* const source = std::exchange(source_, nullptr);
    // Nothing to go back to when the position was unknown at the hold.
    if (source == nullptr || saved_ < 0) return;
    std::streamoff moved = 0;
    if (source->MoveInput(saved_, std::ios_base::beg, moved)) {
        source->SetInputPosReckoning(saved_);
        source->DropWindow();
    }
}

}  // namespace meta
