// The file-information block that opens every report: sizes, times,
// attributes, identity, link target, object identifiers and streams.
#include "formats/NtfsInfo.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <sys/stat.h>

#include "core/TextFormat.h"
#include "core/TextHelpers.h"
#include "formats/FileSystemFacts.h"

namespace quiddity {

namespace {

// Sizes from here on are also given in a rounded unit.
constexpr std::uint64_t kRoundedSizeFrom = 2048;
constexpr std::uint64_t kKilobytesBelow = 0x200000;
constexpr std::uint64_t kMegabytesBelow = 0x80000000;

// The years a file time can hold; a time outside them does not convert and
// its line is left out.
constexpr int kFirstFileTimeYear = 1601;
constexpr int kLastFileTimeYear = 30827;

struct AttributeName {
    std::uint32_t bit;
    const char* text;
};

// In the order the attribute line lists them.
constexpr AttributeName kAttributeNames[] = {
    {kAttributeCompressed, "compressed,"}, {kAttributeDevice, "device,"},
    {kAttributeDirectory, "directory,"},   {kAttributeEncrypted, "encrypted,"},
    {kAttributeHidden, "hidden,"},         {kAttributeNormal, "normal,"},
    {kAttributeNotIndexed, "notindex,"},   {kAttributeReadonly, "readonly,"},
    {kAttributeReparse, "reparse,"},       {kAttributeSparse, "sparse,"},
    {kAttributeTemporary, "temp,"},
};

// Names come from the file system as raw bytes; a control character would
// break the report's lines (or forge one), so it shows as ".".
std::string ShowableName(std::string_view name) {
    std::string shown(name);
    DotControlCharacters(shown);
    return shown;
}

void AppendSizeLines(std::string& out, const FileSystemFacts& facts) {
    const unsigned long long size = facts.size;
    AppendFormat(out, "Filesize normal.: %llu bytes ", size);
    if (size >= kRoundedSizeFrom) {
        if (size < kKilobytesBelow) AppendFormat(out, "= %llu kB", size / 1024);
        else if (size < kMegabytesBelow) AppendFormat(out, "= %llu MB", size / 0x100000);
        else AppendFormat(out, "= %llu GB", size / 0x40000000);
    }
    // The whole size: its low 32 bits alone would misstate a file above 4 GiB.
    AppendFormat(out, " (hex: %llX)\n", size);
    AppendFormat(out, "Filesize on disk: %llu bytes \n", static_cast<unsigned long long>(facts.allocated));
}

void AppendTimeLine(std::string& out, const char* label, const FileTime& time) {
    if (!time.known) return;
    const std::time_t seconds = static_cast<std::time_t>(time.seconds);
    std::tm utc{};
    if (::gmtime_r(&seconds, &utc) == nullptr) return;
    const int year = utc.tm_year + 1900;
    if (year < kFirstFileTimeYear || year > kLastFileTimeYear) return;
    AppendFormat(out, "%s%02u.%02u.%04u %02u:%02u\r\n", label, static_cast<unsigned>(utc.tm_mday),
                 static_cast<unsigned>(utc.tm_mon + 1), static_cast<unsigned>(year),
                 static_cast<unsigned>(utc.tm_hour), static_cast<unsigned>(utc.tm_min));
}

void AppendAttributeLine(std::string& out, std::uint32_t attributes) {
    std::string line = "Attributes......: ";
    if (attributes == 0) line += "none,";
    for (const AttributeName& attribute : kAttributeNames)
        if (attributes & attribute.bit) line += attribute.text;
    while (line.back() == ',') line.pop_back();
    out += line + "\n";
}

void AppendReparseLines(std::string& out, const FileSystemFacts& facts) {
    AppendFormat(out, "Reparse tag/type: %08X ", facts.reparseTag);
    // A symbolic link is the only reparse point Linux has.
    out += "= Symbolic link\n";
    if (facts.reparseTarget.empty()) return;
    // The whole target: link targets are not cut, however long.
    const std::string target = ShowableName(facts.reparseTarget);
    out += "          target: " + target + "\n";
    out += "      print name: " + target + "\n";
}

const char* StreamKindText(EStreamKind kind) {
    switch (kind) {
        case EStreamKind::StandardData: return "Standard data";
        case EStreamKind::SecurityDescriptor: return "Security descriptor data";
        case EStreamKind::AlternativeData: return "Alternative data streams";
    }
    return "";
}

void AppendStreamLines(std::string& out, const FileSystemFacts& facts) {
    out += "Streams.........:\n";
    unsigned long long total = 0;
    for (const FileStream& stream : facts.streams) {
        out += "  Stream: ";
        out += StreamKindText(stream.kind);
        // Full 64-bit sizes: a data stream above 2 GiB must not print negative.
        AppendFormat(out, "  (size: %llu)", static_cast<unsigned long long>(stream.size));
        total += stream.size;
        out += stream.name.empty() ? "\n" : "  " + ShowableName(stream.name) + "\n";
    }
    AppendFormat(out, "  (Total size: %llu)\n", total);
}

// "-rw-r--r--" as ls(1) writes it, setuid, setgid and sticky included.
std::string ModeText(std::uint32_t mode) {
    std::string text;
    switch (mode & S_IFMT) {
        case S_IFDIR: text = "d"; break;
        case S_IFLNK: text = "l"; break;
        case S_IFIFO: text = "p"; break;
        case S_IFSOCK: text = "s"; break;
        case S_IFCHR: text = "c"; break;
        case S_IFBLK: text = "b"; break;
        default: text = "-"; break;
    }
    // For each of user, group and others: the permission bits, then the
    // special bit that shares the execute column and its two letters.
    struct Triplet {
        std::uint32_t read, write, execute, special;
        char withExecute, withoutExecute;
    };
    constexpr Triplet kTriplets[] = {{S_IRUSR, S_IWUSR, S_IXUSR, S_ISUID, 's', 'S'},
                                     {S_IRGRP, S_IWGRP, S_IXGRP, S_ISGID, 's', 'S'},
                                     {S_IROTH, S_IWOTH, S_IXOTH, S_ISVTX, 't', 'T'}};
    for (const Triplet& t : kTriplets) {
        text += (mode & t.read) ? 'r' : '-';
        text += (mode & t.write) ? 'w' : '-';
        if (mode & t.special) text += (mode & t.execute) ? t.withExecute : t.withoutExecute;
        else text += (mode & t.execute) ? 'x' : '-';
    }
    return text;
}

// What an item that is neither a regular file nor a folder is.
const char* KindText(std::uint32_t mode) {
    switch (mode & S_IFMT) {
        case S_IFIFO: return "FIFO";
        case S_IFSOCK: return "socket";
        case S_IFCHR: return "character device";
        case S_IFBLK: return "block device";
        case S_IFLNK: return "symbolic link";
        default: return nullptr;
    }
}

void AppendAccountLine(std::string& out, const char* label, const std::string& name, std::uint32_t number) {
    out += label;
    if (!name.empty()) out += ShowableName(name) + " ";
    AppendFormat(out, "(%u)\n", number);
}

void AppendPosixLines(std::string& out, const FileSystemFacts& facts) {
    AppendFormat(out, "Mode............: %s (%04o)\n", ModeText(facts.mode).c_str(), facts.mode & 07777u);
    AppendAccountLine(out, "Owner...........: ", facts.ownerName, facts.owner);
    AppendAccountLine(out, "Group...........: ", facts.groupName, facts.group);
    if (const char* kind = KindText(facts.mode)) AppendFormat(out, "Kind............: %s\n", kind);
    if (S_ISCHR(facts.mode) || S_ISBLK(facts.mode))
        AppendFormat(out, "Device..........: %u:%u\n", facts.deviceMajor, facts.deviceMinor);
}

}  // namespace

std::string FormatFileInformation(const FileSystemFacts& facts, bool listStreams) {
    std::string out;
    if (facts.found) {
        out += "Short filename..: \n";  // Linux keeps no short names
        AppendSizeLines(out, facts);
        AppendTimeLine(out, "Created.........: ", facts.created);
        AppendTimeLine(out, "Accessed........: ", facts.accessed);
        AppendTimeLine(out, "Last written....: ", facts.written);
    }
    AppendAttributeLine(out, facts.attributes);

    if (facts.openError != 0) {
        AppendFormat(out, "(Couldn't access file/dir. Error code: 0x%08X)\n", static_cast<unsigned>(facts.openError));
    } else {
        if (facts.identityError != 0) {
            AppendFormat(out, "Errorerror %d\n", facts.identityError);
        } else {
            AppendFormat(out, "Serial..........: %08llX-%08x%08X\n",
                         static_cast<unsigned long long>(facts.volumeSerial),
                         static_cast<unsigned>(facts.fileIndex >> 32), static_cast<unsigned>(facts.fileIndex));
            AppendFormat(out, "Hardlinks.......: %u\n", facts.hardLinks);
        }
        if (facts.hasReparse) AppendReparseLines(out, facts);
        out += "Object ID.......: n/a\n";  // Linux gives files no object identifiers
        if (listStreams) AppendStreamLines(out, facts);
    }
    if (facts.found) AppendPosixLines(out, facts);
    out += "\n";
    return out;
}

bool ReportNtfsInfo(const CItemPlace& place, EDetail detail, bool& backupPrivileges, std::string& out) {
    const std::string path = place.FullPath();
    if (detail == EDetail::Short) return IsDirectoryItem(path);
    const FileSystemFacts facts = GatherFileSystemFacts(path, place.strName);
    // Reading what the user may read needs no privilege on Linux: a
    // successful listing stands for the privileges being granted.
    if (facts.streamsListed) backupPrivileges = true;
    out = FormatFileInformation(facts, backupPrivileges);
    return (facts.attributes & kAttributeDirectory) != 0;
}

}  // namespace quiddity
