#pragma once

#include <cstddef>
#include <ios>

#include "varrow/api/export.h"

namespace meta {

class DataSource;

// Guards returned by DataSource::Hold*(). Each saves one part of the
// source's state and puts it back when it goes out of scope, also during
// stack unwinding. They are move-only, so exactly one guard restores; a
// moved-from guard does nothing. A guard must not outlive its source.
// Destructors never throw.

// Restores the buffer cursor, relative to the window start, unless the
// saved position lies beyond a usable-byte limit set meanwhile.
class VARROW_API ScopedBufferPosHold {
  public:
    ScopedBufferPosHold(ScopedBufferPosHold&& other) noexcept;
    ScopedBufferPosHold& operator=(ScopedBufferPosHold&& other) noexcept;
    ScopedBufferPosHold(ScopedBufferPosHold const&) = delete;
    ScopedBufferPosHold& operator=(ScopedBufferPosHold const&) = delete;
    ~ScopedBufferPosHold();

  private:
    friend class DataSource;
    ScopedBufferPosHold(DataSource& source, std::streamoff saved) noexcept
        : source_(&source), saved_(saved) {}
    void Restore() noexcept;

    DataSource* source_;
    std::streamoff saved_;
};

// Restores the usable-byte limit, or its absence.
class VARROW_API ScopedUsableBytesHold {
  public:
    ScopedUsableBytesHold(ScopedUsableBytesHold&& other) noexcept;
    ScopedUsableBytesHold& operator=(ScopedUsableBytesHold&& other) noexcept;
    ScopedUsableBytesHold(ScopedUsableBytesHold const&) = delete;
    ScopedUsableBytesHold& operator=(ScopedUsableBytesHold const&) = delete;
    ~ScopedUsableBytesHold();

  private:
    friend class DataSource;
    ScopedUsableBytesHold(DataSource& source, bool all, std::size_t limit) noexcept
        : source_(&source), all_(all), limit_(limit) {}
    void Restore() noexcept;

    DataSource* source_;
    bool all_;
    std::size_t limit_;
};

// Seeks the input stream back to the saved position; on success the
// reckoning is set there and the window dropped. An exception thrown by the
// stream while restoring terminates the process (the destructor is noexcept).
class VARROW_API ScopedInputStreamPosHold {
  public:
    ScopedInputStreamPosHold(ScopedInputStreamPosHold&& other) noexcept;
    ScopedInputStreamPosHold& operator=(ScopedInputStreamPosHold&& other) noexcept;
    ScopedInputStreamPosHold(ScopedInputStreamPosHold const&) = delete;
    ScopedInputStreamPosHold& operator=(ScopedInputStreamPosHold const&) = delete;
    ~ScopedInputStreamPosHold();

  private:
    friend class DataSource;
    ScopedInputStreamPosHold(DataSource& source, std::streamoff saved) noexcept
        : source_(&source), saved_(saved) {}
    void Restore() noexcept;

    DataSource* source_;
    std::streamoff saved_;
};

}  // namespace meta
