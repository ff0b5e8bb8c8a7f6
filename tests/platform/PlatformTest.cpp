#include "platform/AsciiText.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"

#include "OtherInstanceLock.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(ProfileFile, ReadsWithDefaultsAndIgnoringCase) {
    CTempFolder dir;
    std::string ini = dir.Path() + "\\Tarvane.ini"; // backslash paths reach the file system
    EXPECT_EQ(CProfileFile::ReadString(ini, "Extracted", "BaseFiles", "False"), "False");

    WriteTextFile(dir.File("Tarvane.ini"), "; comment\r\n[Diablo II]\r\nFolder = C:\\Games\\D2 \r\n"
                                           "[EXTRACTED]\r\nbasefiles=\"True\"\r\n"
                                           "[Global]\nHitHarder=3\n");
    EXPECT_EQ(CProfileFile::ReadString(ini, "diablo ii", "FOLDER", ""), "C:\\Games\\D2");
    EXPECT_EQ(CProfileFile::ReadString(ini, "Extracted", "BaseFiles", "False"), "True");
    EXPECT_EQ(CProfileFile::ReadString(ini, "Global", "HitHarder", "0"), "3");
    EXPECT_EQ(CProfileFile::ReadString(ini, "Global", "AutoMap", "0"), "0");
    EXPECT_EQ(CProfileFile::ReadString(ini, "Diablo II", "HitHarder", "none"), "none");

    // Only 1023 characters of a value are seen.
    CProfileFile::WriteString(ini, "Diablo II", "Folder", std::string(1500, 'a'));
    EXPECT_EQ(CProfileFile::ReadString(ini, "Diablo II", "Folder", "").size(), 1023u);
}

TEST(ProfileFile, WritingKeepsEveryOtherLine) {
    CTempFolder dir;
    std::string ini = dir.File("s.ini");
    ASSERT_TRUE(CProfileFile::WriteString(ini, "Diablo II", "Folder", "/a"));
    EXPECT_EQ(ReadTextFile(ini), "[Diablo II]\r\nFolder=/a\r\n");

    WriteTextFile(
        ini, "; keep me\r\n[Diablo II]\r\nFolder=/a\r\nOther=1\r\n\r\n[Global]\r\nAutoMap=1\r\n");
    ASSERT_TRUE(CProfileFile::WriteString(ini, "diablo ii", "folder", "/b"));
    ASSERT_TRUE(CProfileFile::WriteString(ini, "Extracted", "BaseFiles", "True"));
    ASSERT_TRUE(CProfileFile::WriteString(ini, "Global", "IncreaseXP", "0"));
    EXPECT_EQ(ReadTextFile(ini), "; keep me\r\n[Diablo II]\r\nfolder=/b\r\nOther=1\r\n\r\n"
                                 "[Global]\r\nAutoMap=1\r\nIncreaseXP=0\r\n"
                                 "[Extracted]\r\nBaseFiles=True\r\n");
    EXPECT_EQ(CProfileFile::ReadString(ini, "Diablo II", "Folder", ""), "/b");

    // A settings path that cannot be written reports it and makes nothing.
    EXPECT_FALSE(CProfileFile::WriteString(dir.File("none/s.ini"), "A", "B", "C"));
}

TEST(FileSystem, CopyNeverLeavesAHalfFile) {
    CTempFolder dir;
    WriteTextFile(dir.File("a"), "new");
    WriteTextFile(dir.File("b"), "old");
    EXPECT_FALSE(CopyFileTo(dir.File("a"), dir.File("b"), true));
    EXPECT_EQ(ReadTextFile(dir.File("b")), "old");
    EXPECT_TRUE(CopyFileTo(dir.File("a"), dir.File("b"), false));
    EXPECT_EQ(ReadTextFile(dir.File("b")), "new");
    EXPECT_TRUE(CopyFileTo(dir.File("a"), dir.File("c"), true));
    EXPECT_EQ(ReadTextFile(dir.File("c")), "new");
    // A missing source changes nothing.
    EXPECT_FALSE(CopyFileTo(dir.File("missing"), dir.File("b"), false));
    EXPECT_EQ(ReadTextFile(dir.File("b")), "new");

    // A copy that fails part way: the file size limit stops the writes after 64 KiB of 1 MiB.
    WriteTextFile(dir.File("big"), std::string(1 << 20, 'x'));
    pid_t child = fork();
    if (child == 0) {
        struct rlimit limit = {64 << 10, 64 << 10};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
        bool replaced = CopyFileTo(dir.File("big"), dir.File("b"), false);
        bool made = CopyFileTo(dir.File("big"), dir.File("d"), true);
        _exit(replaced || made ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a cut copy reported success";
    EXPECT_EQ(ReadTextFile(dir.File("b")), "new");
    EXPECT_FALSE(std::filesystem::exists(dir.File("d")));
    // No temporary files left.
    std::set<std::string> names;
    for (const FolderEntry& entry : ListFolder(dir.Path()))
        names.insert(entry.name);
    EXPECT_EQ(names, (std::set<std::string>{"a", "b", "big", "c"}));
}

TEST(FileSystem, ListsSortedAndMapsBackslashes) {
    CTempFolder dir;
    std::filesystem::create_directory(dir.File("sub"));
    WriteTextFile(dir.File("b.txt"), "");
    WriteTextFile(dir.File("a!x.bin"), "");
    WriteTextFile(dir.File("sub/c"), "x");
    auto entries = ListFolder(dir.Path());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "a!x.bin");
    EXPECT_EQ(entries[1].name, "b.txt");
    EXPECT_EQ(entries[2].name, "sub");
    EXPECT_TRUE(entries[2].isFolder);
    EXPECT_TRUE(FileExists(dir.Path() + "\\sub\\c"));
    EXPECT_TRUE(IsFolder(dir.Path() + "\\sub"));
    EXPECT_FALSE(FileExists(dir.Path() + "\\sub\\d"));
    EXPECT_FALSE(MakeFolder(dir.Path() + "\\sub")); // exists already
    EXPECT_TRUE(ListFolder(dir.File("none")).empty());
}

TEST(AsciiText, IgnoresCaseOfAsciiLettersOnly) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Zombie", "zOMBIE"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC9", "\xE9"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("name ", "name"));
    EXPECT_TRUE(LessIgnoringAsciiCase("apple", "Banana"));
    EXPECT_FALSE(LessIgnoringAsciiCase("Banana", "apple"));
    EXPECT_FALSE(LessIgnoringAsciiCase("same", "SAME"));
}

TEST(FileSystem, StaleTemporariesAreRemovedOnlyWhileNoOtherInstanceHoldsTheLock) {
    CTempFolder dir;
    const std::string archive = dir.File("Patch_D2.mpq");
    WriteTextFile(archive, "archive");
    // Left by killed saves; one in the older form, with the id of a process that is running
    // (this one), as happens when ids are handed out again.
    const std::string stale[] = {TemporaryPathBeside(archive),
                                 TemporaryPathBeside(archive) + ".tmp",
                                 archive + ".tarvane-" + std::to_string(getpid()) + "-3.tmp"};
    for (const std::string& path : stale)
        WriteTextFile(path, "left by a killed save");
    const std::string others[] = {TemporaryPathBeside(dir.File("Other.mpq")),
                                  dir.File("Patch_D2.mpq.bak")};
    for (const std::string& path : others)
        WriteTextFile(path, "not ours");
    std::filesystem::create_directory(TemporaryPathBeside(archive));
    const size_t entries = ListFolder(dir.Path()).size();

    {
        // Another instance is saving: its temporaries must stay, and its lock is not taken.
        COtherInstanceLock other(archive);
        ASSERT_TRUE(other.Held());
        EXPECT_EQ(RemoveStaleTemporaryFiles(archive), 0);
        EXPECT_EQ(ListFolder(dir.Path()).size(), entries);
        auto start = std::chrono::steady_clock::now();
        CFileLock lock(archive, std::chrono::milliseconds(300));
        EXPECT_FALSE(lock.Held());
        EXPECT_TRUE(lock.HeldElsewhere());
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    }

    // Ours again; the lock is re-entrant within the process.
    CFileLock lock(archive, std::chrono::milliseconds(0));
    ASSERT_TRUE(lock.Held());
    EXPECT_EQ(RemoveStaleTemporaryFiles(archive), 3);
    for (const std::string& path : stale)
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
    for (const std::string& path : others)
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_EQ(ReadTextFile(archive), "archive");
    EXPECT_EQ(ListFolder(dir.Path()).size(), entries - 3);

    std::string live = TemporaryPathBeside(archive);
    WriteTextFile(live, "to be freed");
    RemoveFileInBackground(live);
    WaitForBackgroundRemovals();
    EXPECT_FALSE(std::filesystem::exists(live));
}

TEST(ProfileFile, NeverOverwritesWhatItCannotReadNorWritesALineBreak) {
    CTempFolder dir;
    const std::string settings = "[Diablo II]\r\nFolder=/games/d2\r\n[Global]\r\nAutoMap=1\r\n";

    // A settings file that is there but cannot be read: the write fails and leaves it alone.
    std::filesystem::create_symlink("elsewhere/Tarvane.ini", dir.File("dangling.ini"));
    std::filesystem::create_symlink("loop.ini", dir.File("loop.ini"));
    std::vector<std::string> unreadable = {"dangling.ini", "loop.ini"};
    WriteTextFile(dir.File("writeonly.ini"), settings);
    std::filesystem::permissions(dir.File("writeonly.ini"), std::filesystem::perms::owner_write);
    if (::geteuid() != 0)
        unreadable.push_back("writeonly.ini");
    else
        std::cout << "[ SKIPPED  ] writeonly.ini: running as root, every file can be read\n";
    for (const std::string& name : unreadable) {
        const std::string ini = dir.File(name);
        const bool wasLink = std::filesystem::is_symlink(ini);
        EXPECT_FALSE(CProfileFile::WriteString(ini, "Extracted", "BaseFiles", "True")) << name;
        EXPECT_EQ(std::filesystem::is_symlink(ini), wasLink) << name;
    }
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir.File("writeonly.ini"), std::filesystem::perms::owner_all);
        EXPECT_EQ(ReadTextFile(dir.File("writeonly.ini")), settings);
    }

    // A section, key or value with a line break would add lines of its own: refused.
    const std::string ini = dir.File("Tarvane.ini");
    WriteTextFile(ini, settings);
    EXPECT_FALSE(CProfileFile::WriteString(ini, "Diablo II", "Folder", "/games/d2\n[Global]"));
    EXPECT_FALSE(CProfileFile::WriteString(ini, "Diablo II", "Folder", "/games\r"));
    EXPECT_FALSE(CProfileFile::WriteString(ini, "Diablo II\n", "Folder", "/x"));
    EXPECT_FALSE(CProfileFile::WriteString(ini, "Diablo II", "Fol\nder", "/x"));
    EXPECT_FALSE(CProfileFile::WriteString(dir.File("new.ini"), "A", "B", "line\nbreak"));
    EXPECT_EQ(ReadTextFile(ini), settings);
    EXPECT_FALSE(std::filesystem::exists(dir.File("new.ini")));

    // What can be read is rewritten whole through a new file renamed into place.
    struct stat old {};
    ASSERT_EQ(::stat(ini.c_str(), &old), 0);
    EXPECT_TRUE(CProfileFile::WriteString(ini, "Diablo II", "Folder", "/games/new"));
    struct stat now {};
    ASSERT_EQ(::stat(ini.c_str(), &now), 0);
    EXPECT_NE(now.st_ino, old.st_ino);
    EXPECT_EQ(ReadTextFile(ini), "[Diablo II]\r\nFolder=/games/new\r\n[Global]\r\nAutoMap=1\r\n");
    EXPECT_EQ(ListFolder(dir.Path()).size(), 4u); // no temporary file left

    // A settings file kept elsewhere behind a link is written where it lives; the link stays.
    std::filesystem::create_symlink(ini, dir.File("linked.ini"));
    EXPECT_TRUE(CProfileFile::WriteString(dir.File("linked.ini"), "Global", "AutoMap", "0"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("linked.ini")));
    EXPECT_EQ(CProfileFile::ReadString(ini, "Global", "AutoMap", ""), "0");
}

TEST(FileSystem, WorkingFolderOfAnyLengthOrNoneWhenItIsGone) {
    CTempFolder dir;
    CTempFolder::Enter inside(dir.Path());
    // Deeper than PATH_MAX, reached one level at a time as a user's shell would.
    const std::string step(200, 'w');
    std::string expected = std::filesystem::current_path().string();
    int levels = 0;
    while (expected.size() <= PATH_MAX + 300) {
        ASSERT_EQ(::mkdir(step.c_str(), 0777), 0);
        ASSERT_EQ(::chdir(step.c_str()), 0);
        expected += "/" + step;
        ++levels;
    }
    EXPECT_TRUE(GetWorkingFolder() == expected) << expected.size() << " characters";

    // A working folder that was removed cannot be read.
    ASSERT_EQ(::mkdir("gone", 0777), 0);
    ASSERT_EQ(::chdir("gone"), 0);
    ASSERT_EQ(::rmdir("../gone"), 0);
    EXPECT_EQ(GetWorkingFolder(), "");

    // Climb out, removing each level: paths this long are beyond the removal of the fixture.
    ASSERT_EQ(::chdir(".."), 0);
    for (; levels > 0; --levels) {
        ASSERT_EQ(::chdir(".."), 0);
        ASSERT_EQ(::rmdir(step.c_str()), 0);
    }
}
