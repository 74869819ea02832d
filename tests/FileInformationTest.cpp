// The file-information block, checked against what stat(1) says about the
// same items.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>

#include "TestSupport.h"
#include "formats/NtfsInfo.h"
#include "report/InfoReport.h"
#include "formats/FileSystemFacts.h"

using namespace quiddity;
using quiddity::test::CRecordingPane;
using quiddity::test::CTempDir;
using quiddity::test::RunCommand;

namespace {

struct CInformation {
    CRecordingPane pane;
    bool isDirectory = false;
    bool backupPrivileges = false;
    std::string Text() const { return pane.TextIn(EStyle::Fixed); }
};

// Runs only the file-information section for folder + name.
CInformation Inform(const std::string& folder, const std::string& name, CReportSwitches switches = {}) {
    CInformation info;
    std::string text;
    info.isDirectory = ReportNtfsInfo(CItemPlace{folder, name}, switches.ShowFileInfo ? EDetail::Full : EDetail::Short,
                                      info.backupPrivileges, text);
    info.pane.AppendStyledText(switches.ShowFileInfo ? text : "\n", InitTextStyles().m_cfFixed);
    return info;
}

// The line that starts with label, without its line end; empty when absent.
std::string Line(const std::string& text, const std::string& label) {
    const std::size_t at = ("\n" + text).find("\n" + label);
    if (at == std::string::npos) return {};
    std::string line = text.substr(at, text.find('\n', at) - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// A command's output without its trailing line break and blanks.
std::string Output(const std::string& command) {
    std::string text = RunCommand(command);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

// stat(1) about the item itself (a link is not followed).
std::string Stat(const std::string& path, const std::string& format) {
    return Output("stat -c '" + format + "' -- '" + path + "'");
}

std::string DateOf(const std::string& seconds) { return Output("date -u -d @" + seconds + " '+%d.%m.%Y %H:%M'"); }

bool Succeeds(const std::string& command) {
    int status = -1;
    RunCommand(command + " 2>/dev/null", &status);
    return status == 0;
}

// The attributes line for these attributes, with "temp" on tmpfs.
std::string Attributes(const std::string& folder, const std::string& attributes) {
    if (Output("stat -f -c %T '" + folder + "'") != "tmpfs") return "Attributes......: " + attributes;
    return "Attributes......: " + (attributes == "normal" ? std::string("temp") : attributes + ",temp");
}

}  // namespace

TEST(FileInformation, WholeBlockOfAPlainFileMatchesStat) {
    CTempDir dir;
    const std::string path = dir.Write("plain.bin", std::string(2047, 'x'));
    const CInformation info = Inform(dir.Folder(), "plain.bin");
    std::string block = "Short filename..: \nFilesize normal.: 2047 bytes  (hex: 7FF)\n";
    block += "Filesize on disk: " + std::to_string(std::stoull(Stat(path, "%b")) * std::stoull(Stat(path, "%B"))) +
             " bytes \n";
    const std::string birth = Stat(path, "%W");
    if (birth != "0" && birth != "-") block += "Created.........: " + DateOf(birth) + "\r\n";
    block += "Accessed........: " + DateOf(Stat(path, "%X")) + "\r\n";
    block += "Last written....: " + DateOf(Stat(path, "%Y")) + "\r\n";
    block += Attributes(dir.Folder(), "normal") + "\n";
    char serial[64];
    const unsigned long long inode = std::stoull(Stat(path, "%i"));
    std::snprintf(serial, sizeof serial, "%08llX-%08llx%08llX", std::stoull(Stat(path, "%D"), nullptr, 16),
                  inode >> 32, inode & 0xFFFFFFFF);
    block += "Serial..........: " + std::string(serial) + "\nHardlinks.......: 1\nObject ID.......: n/a\n";
    block += "Streams.........:\n  Stream: Standard data  (size: 2047)\n  (Total size: 2047)\n";
    block += "Mode............: " + Stat(path, "%A") + " (0" + Stat(path, "%a") + ")\n";
    block += "Owner...........: " + Stat(path, "%U (%u)") + "\nGroup...........: " + Stat(path, "%G (%g)") + "\n\n";
    EXPECT_EQ(info.Text(), block);
    EXPECT_FALSE(info.isDirectory);
    EXPECT_TRUE(info.backupPrivileges);  // the listing succeeded
}

// Mode, owner, group, kind and device numbers of a file, a setuid file, a
// FIFO and /dev/null, as stat(1) gives them (%t:%T in hexadecimal).
TEST(FileInformation, ModeOwnerKindAndDeviceMatchStat) {
    CTempDir dir;
    dir.Write("plain", "x");
    dir.Write("setuid", "x");
    ASSERT_EQ(::chmod(dir.Path("setuid").c_str(), 04751), 0);
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 01600), 0);  // sticky without execute: T
    const std::pair<std::string, std::string> items[] = {
        {dir.Folder(), "plain"}, {dir.Folder(), "setuid"}, {dir.Folder(), "fifo"}, {"/dev/", "null"}};
    for (const auto& [folder, name] : items) {
        const std::string path = folder + name;
        const std::string text = Inform(folder, name).Text();
        char octal[16];
        std::snprintf(octal, sizeof octal, "%04lo", std::stoul(Stat(path, "%a"), nullptr, 8));
        EXPECT_EQ(Line(text, "Mode"), "Mode............: " + Stat(path, "%A") + " (" + octal + ")") << name;
        EXPECT_EQ(Line(text, "Owner"), "Owner...........: " + Stat(path, "%U (%u)")) << name;
        EXPECT_EQ(Line(text, "Group"), "Group...........: " + Stat(path, "%G (%g)")) << name;
        const std::string kind = Stat(path, "%F");  // "regular file", "fifo", "character special file"
        const std::string expectedKind = kind == "fifo" ? "Kind............: FIFO"
                                         : kind == "character special file" ? "Kind............: character device"
                                                                            : "";
        EXPECT_EQ(Line(text, "Kind"), expectedKind) << name;
        const std::string device = kind == "character special file"
                                       ? "Device..........: " + std::to_string(std::stoul(Stat(path, "%t"), nullptr, 16)) +
                                             ":" + std::to_string(std::stoul(Stat(path, "%T"), nullptr, 16))
                                       : "";
        EXPECT_EQ(Line(text, "Device"), device) << name;
    }
    EXPECT_NE(Line(Inform(dir.Folder(), "setuid").Text(), "Mode").find("-rwsr-x--x (4751)"), std::string::npos);
}

TEST(FileInformation, FolderHasNoDataStream) {
    CTempDir dir;
    ASSERT_EQ(::mkdir(dir.Path("sub").c_str(), 0755), 0);
    const CInformation info = Inform(dir.Folder(), "sub");
    EXPECT_TRUE(info.isDirectory);
    EXPECT_EQ(Line(info.Text(), "Attributes"), Attributes(dir.Folder(), "directory"));
    EXPECT_NE(info.Text().find("Streams.........:\n  (Total size: 0)\nMode............: d"), std::string::npos);
}

TEST(FileInformation, SymbolicLinksShowTheirTargetUnfollowed) {
    CTempDir dir;
    dir.Write("data.txt", std::string(5000, 'd'));
    ASSERT_EQ(::symlink("data.txt", dir.Path("link").c_str()), 0);
    const std::string text = Inform(dir.Folder(), "link").Text();
    // The link's own size (its target's length), not the 5000 bytes it points to.
    EXPECT_EQ(Line(text, "Filesize normal"), "Filesize normal.: 8 bytes  (hex: 8)");
    EXPECT_EQ(Line(text, "Attributes"), Attributes(dir.Folder(), "reparse"));
    EXPECT_NE(text.find("Hardlinks.......: 1\n"
                        "Reparse tag/type: A000000C = Symbolic link\n"
                        "          target: data.txt\n"
                        "      print name: data.txt\n"
                        "Object ID.......: n/a\n"),
              std::string::npos);
    EXPECT_EQ(text.find("Standard data"), std::string::npos);

    ASSERT_EQ(::symlink("nowhere/missing", dir.Path("dangling").c_str()), 0);
    EXPECT_EQ(Line(Inform(dir.Folder(), "dangling").Text(), "          target"), "          target: nowhere/missing");

    ASSERT_EQ(::mkdir(dir.Path("real").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("real", dir.Path("alias").c_str()), 0);
    EXPECT_FALSE(Inform(dir.Folder(), "alias").isDirectory);  // the report goes on past a link to a folder
}

TEST(FileInformation, LongAndForgedLinkTargets) {
    CTempDir dir;
    const std::string target = "far/" + std::string(400, 't');  // more than 256 bytes: shown whole
    ASSERT_EQ(::symlink(target.c_str(), dir.Path("long").c_str()), 0);
    const std::string text = Inform(dir.Folder(), "long").Text();
    EXPECT_EQ(Line(text, "          target"), "          target: " + target);
    EXPECT_EQ(Line(text, "      print name"), "      print name: " + target);

    // A line break in the target cannot forge a line of the block.
    ASSERT_EQ(::symlink("x\nHardlinks.......: 99", dir.Path("forged").c_str()), 0);
    const std::string forged = Inform(dir.Folder(), "forged").Text();
    EXPECT_EQ(Line(forged, "          target"), "          target: x.Hardlinks.......: 99");
    EXPECT_EQ(Line(forged, "Hardlinks"), "Hardlinks.......: 1");
}

TEST(FileInformation, AttributesFromNameModeAndFlags) {
    CTempDir dir;
    dir.Write(".secret", "x");
    dir.Write("locked", "x");
    ASSERT_EQ(::chmod(dir.Path("locked").c_str(), 0444), 0);
    dir.Write("owner-only", "x");
    ASSERT_EQ(::chmod(dir.Path("owner-only").c_str(), 0200), 0);  // one write bit is enough
    EXPECT_EQ(Line(Inform(dir.Folder(), ".secret").Text(), "Attributes"), Attributes(dir.Folder(), "hidden"));
    EXPECT_EQ(Line(Inform(dir.Folder(), "locked").Text(), "Attributes"), Attributes(dir.Folder(), "readonly"));
    EXPECT_EQ(Line(Inform(dir.Folder(), "owner-only").Text(), "Attributes"), Attributes(dir.Folder(), "normal"));

    const std::string path = dir.Write("skip-me", "x");
    if (!Succeeds("chattr +d '" + path + "'")) GTEST_SKIP() << "this file system keeps no no-dump flag";
    EXPECT_EQ(Line(Inform(dir.Folder(), "skip-me").Text(), "Attributes"), Attributes(dir.Folder(), "notindex"));
}

TEST(FileInformation, ExtendedAttributesAreStreams) {
    CTempDir dir;
    const std::string path = dir.Write("tagged", std::string(100, 'a'));
    if (!Succeeds("setfattr -n user.comment -v 'hello world' '" + path + "'") ||
        !Succeeds("setfattr -n user.empty '" + path + "'"))
        GTEST_SKIP() << "this file system refuses user extended attributes";
    const std::string text = Inform(dir.Folder(), "tagged").Text();
    EXPECT_NE(text.find("  Stream: Standard data  (size: 100)\n"), std::string::npos);
    EXPECT_NE(text.find("  Stream: Alternative data streams  (size: 11)  user.comment\n"), std::string::npos);
    EXPECT_NE(text.find("  Stream: Alternative data streams  (size: 0)  user.empty\n"), std::string::npos);
    EXPECT_NE(text.find("  (Total size: 111)\nMode............: "), std::string::npos);

    if (!Succeeds("setfattr -n security.quiddity -v label '" + path + "'"))
        GTEST_SKIP() << "setting security.* attributes needs a privilege this run lacks";
    EXPECT_NE(Inform(dir.Folder(), "tagged").Text().find(
                  "  Stream: Security descriptor data  (size: 5)  security.quiddity\n"),
              std::string::npos);
}

TEST(FileInformation, SwitchedOffLeavesOneLineBreak) {
    CTempDir dir;
    dir.Write("f", "x");
    ASSERT_EQ(::mkdir(dir.Path("d").c_str(), 0755), 0);
    CReportSwitches off;
    off.ShowFileInfo = false;
    const CInformation file = Inform(dir.Folder(), "f", off);
    EXPECT_EQ(file.pane.Text(), "\n");
    EXPECT_FALSE(file.isDirectory);
    EXPECT_TRUE(Inform(dir.Folder(), "d", off).isDirectory);  // a folder's report still ends there
}

TEST(FileInformation, VanishedItemIsNeitherFolderNorEverything) {
    CTempDir dir;
    const CInformation info = Inform(dir.Folder(), "gone");
    EXPECT_EQ(info.Text(), "Attributes......: none\n(Couldn't access file/dir. Error code: 0x00000002)\n\n");
    EXPECT_FALSE(info.isDirectory);
    EXPECT_FALSE(info.backupPrivileges);
}

// The block from facts built here, for what real files rarely show.
TEST(FileInformationFormat, SizesTimesIdentityAndErrorLines) {
    FileSystemFacts facts;
    facts.found = true;
    facts.attributes = kAttributeNormal;
    facts.created = {false, 0};                 // the file system records no birth
    facts.accessed = {true, -11644473600 - 1};  // 31.12.1600 23:59:59, before any file time
    facts.written = {true, 0};                  // 01.01.1970 00:00
    const std::string text = FormatFileInformation(facts, false);
    EXPECT_EQ(text.find("Created"), std::string::npos);
    EXPECT_EQ(text.find("Accessed"), std::string::npos);
    EXPECT_NE(text.find("Filesize on disk: 0 bytes \nLast written....: 01.01.1970 00:00\r\nAttributes......: normal\n"),
              std::string::npos);
    EXPECT_EQ(text.find("Streams"), std::string::npos);  // not without the listing

    // Sizes round from 2 kB on; 64-bit sizes print whole.
    const std::pair<std::uint64_t, std::string> sizes[] = {{2048, "2048 bytes = 2 kB (hex: 800)"},
                                                           {3145728, "3145728 bytes = 3 MB (hex: 300000)"},
                                                           {5368709120, "5368709120 bytes = 5 GB (hex: 140000000)"}};
    for (const auto& [size, line] : sizes) {
        facts.size = size;
        EXPECT_EQ(Line(FormatFileInformation(facts, false), "Filesize normal"), "Filesize normal.: " + line);
    }

    facts.attributes = kAttributeDirectory | kAttributeHidden | kAttributeTemporary | kAttributeCompressed;
    facts.volumeSerial = 0x10300000ULL | (0x123ULL << 32);  // a device number wider than 32 bits
    facts.fileIndex = 0x100000002ULL;
    const std::string identity = FormatFileInformation(facts, false);
    EXPECT_EQ(Line(identity, "Attributes"), "Attributes......: compressed,directory,hidden,temp");
    EXPECT_EQ(Line(identity, "Serial"), "Serial..........: 12310300000-0000000100000002");

    // Accounts without a name show their number alone; a block device its numbers.
    facts.mode = S_IFBLK | 02060;  // setgid without group execute: S
    facts.owner = 4242;
    facts.group = 77;
    facts.groupName = "staff";
    facts.deviceMajor = 259;
    facts.deviceMinor = 65536;
    const std::string device = FormatFileInformation(facts, false);
    EXPECT_NE(device.find("Mode............: b---rwS--- (2060)\nOwner...........: (4242)\n"
                          "Group...........: staff (77)\nKind............: block device\n"
                          "Device..........: 259:65536\n\n"),
              std::string::npos);

    facts.identityError = 13;
    const std::string denied = FormatFileInformation(facts, false);
    EXPECT_NE(denied.find("\nErrorerror 13\nObject ID.......: n/a\nMode............: "), std::string::npos);
    EXPECT_EQ(denied.find("Serial"), std::string::npos);
}
