#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. With `enter` set it also becomes the current directory for its lifetime (the
// program keeps its files in the current directory), and the old one is restored afterwards.
class CTempFolder {
public:
    explicit CTempFolder(bool enter = false);
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // Path of a file inside the folder ("a/b" with the native separator).
    std::string File(const std::string& name) const { return m_path + "/" + name; }

    // Makes an existing folder the current directory for the life of the object.
    class Enter {
    public:
        explicit Enter(const std::string& folder);
        ~Enter();
        Enter(const Enter&) = delete;
        Enter& operator=(const Enter&) = delete;

    private:
        std::string m_previous;
    };

private:
    std::string m_path;
    std::string m_previous;
};

// Small file helpers for fixtures.
void WriteTextFile(const std::string& path, const std::string& bytes);
std::string ReadTextFile(const std::string& path);
