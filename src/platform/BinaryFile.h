#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// An open file read and written at given offsets, for formats whose parts lie anywhere in the
// file. Closed when it goes. Every failure leaves errno telling why.
class CBinaryFile {
public:
    CBinaryFile() = default;
    ~CBinaryFile();
    CBinaryFile(const CBinaryFile&) = delete;
    CBinaryFile& operator=(const CBinaryFile&) = delete;

    // Opens an ordinary file for reading; anything else (a pipe would block) is refused.
    bool OpenForReading(const std::string& path);
    // Makes a new file, readable and writable by its owner only; an existing one is left alone.
    bool CreateNew(const std::string& path);

    std::uint64_t Size() const { return m_size; }
    // Reads exactly `size` bytes at `offset`; false at the end of the file too.
    bool ReadAt(std::uint64_t offset, void* into, std::size_t size) const;
    bool WriteAt(std::uint64_t offset, const void* from, std::size_t size);
    // Copies `size` bytes at `offset` of `source` to `at` in this file, inside the kernel where
    // it can.
    bool CopyFrom(const CBinaryFile& source, std::uint64_t offset, std::uint64_t size,
                  std::uint64_t at);
    // Cuts or extends the file to `size` bytes.
    bool Resize(std::uint64_t size);
    // False when the file could not be written out completely.
    bool Close();

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
};
