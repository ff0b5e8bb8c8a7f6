#include "app/ArchiveLoader.h"

#include "platform/FileSystem.h"

CArchiveLoader::CArchiveLoader(const std::string& path, bool expansion, CUserPrompts& prompts)
    : m_pArchive(std::make_unique<CMpqArchive>(path)) {
    m_data.SetPrompts(&prompts);
    m_data.m_bExpansion = expansion;
}

std::string CArchiveLoader::Check() const {
    const std::string shown = NativePath(m_pArchive->m_strArchivePath);
    if (m_pArchive->m_bInitFailed)
        return "Failed to initialise: the archive library could not be started to read " + shown +
               ".";
    if (!FileExists(m_pArchive->m_strArchivePath))
        return shown + " was not found.";
    if (!m_pArchive->CanBeRead())
        return shown + " is not an MPQ archive that can be read.";
    return "";
}

std::string CArchiveLoader::Load(const std::string& workingFolder) {
    return m_data.LoadFromArchive(*m_pArchive, workingFolder);
}

std::string CArchiveLoader::WhatStays(const CMpqArchive* previous) {
    if (previous == nullptr)
        return " Nothing was opened.";
    return " " + NativePath(previous->m_strArchivePath) + " stays open as it was.";
}
