#include "TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

CTempFolder::CTempFolder(bool enter) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvane-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
    if (enter) {
        m_previous = std::filesystem::current_path().string();
        std::filesystem::current_path(m_path);
    }
}

CTempFolder::~CTempFolder() {
    std::error_code ec;
    if (!m_previous.empty())
        std::filesystem::current_path(m_previous, ec);
    // Tests may have made files read-only; give the owner rights back before removing.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

CTempFolder::Enter::Enter(const std::string& folder)
    : m_previous(std::filesystem::current_path().string()) {
    std::filesystem::current_path(folder);
}

CTempFolder::Enter::~Enter() {
    std::error_code ec;
    std::filesystem::current_path(m_previous, ec);
}

void WriteTextFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
