#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Archives opened for reading and kept open, for a dialog that reads many small files of the
// same few archives while it runs (the item editors' pictures). Each archive file is opened
// once, however its path is spelled, and without reading its list of names: the names looked
// for are known, and parsing that list took most of every open. Closed with the cache or by
// Close().
class CArchiveReaderCache {
public:
    CArchiveReaderCache() = default;
    ~CArchiveReaderCache();
    CArchiveReaderCache(const CArchiveReaderCache&) = delete;
    CArchiveReaderCache& operator=(const CArchiveReaderCache&) = delete;

    // Reads the archived file `name` whole. False, leaving `bytes` empty, when the archive does
    // not open (it is not tried again until Close()) or the file is missing, empty or larger
    // than `maxBytes`.
    bool ReadFile(const std::string& archivePath, const std::string& name, std::string& bytes,
                  std::uint64_t maxBytes);

    // Whether the archive holds `name`, found through its hash table alone.
    bool HasFile(const std::string& archivePath, const std::string& name);
    // Whether two spellings name the same file (links, "." and ".." resolved).
    static bool SameFile(const std::string& a, const std::string& b);

    // Closes every archive; the next read opens them anew.
    void Close();

    // The opens tried since the cache was made, failed ones included.
    int Opens() const { return m_nOpens; }

private:
    // The handle of the archive at `archivePath`; null when it does not open.
    void* Archive(const std::string& archivePath);

    struct Opened {
        std::string canonicalPath;
        void* handle = nullptr;
    };
    std::vector<Opened> m_archives;
    // Every spelling met, with its index in m_archives, so that a known one is not resolved
    // again.
    std::unordered_map<std::string, std::size_t> m_spellings;
    int m_nOpens = 0;
};
