#include "cli/BatchText.h"

#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "core/TextFormat.h"

#include "core/ReportPane.h"
#include "report/InfoReport.h"

namespace quiddity {

namespace {

// Plain ASCII, nearly every name and type, is taken as it is.
void AppendPrintable(std::string& out, std::string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '\\'; })) out += text;
    else out += ToUtf8(EscapeControlCharacters(text));
}

}  // namespace

bool CPathListParser::Add(std::string_view bytes) {
    if (m_bRefused) return false;
    for (const char c : bytes) {
        if (c == m_separator) {
            if (!m_strPath.empty()) m_paths.push_back(m_strPath);  // a copy holds just the path; the buffer is kept
            m_strPath.clear();
            ++m_nLine;
        } else if ((c == '\0' && m_separator == '\n') || m_strPath.size() >= kMaxListLine) {
            m_bRefused = true;
            return false;
        } else {
            m_strPath += c;
        }
    }
    return true;
}

void CPathListParser::Finish() {
    if (!m_bRefused && !m_strPath.empty()) m_paths.push_back(std::move(m_strPath));
    m_strPath.clear();
}

void AppendTypeLine(std::string& out, std::string_view path, std::string_view type, ETypeLine shape) {
    if (shape == ETypeLine::Print0) {
        out += path;
        out += '\0';
    } else if (shape == ETypeLine::Named) {
        AppendPrintable(out, path);
    }
    if (shape != ETypeLine::Brief) out += ": ";
    AppendPrintable(out, type);
    out += '\n';
}

namespace {

// The target of a link as it is written in it; empty when it cannot be read.
std::string LinkTarget(const std::string& path) {
    char target[PATH_MAX];
    const ssize_t got = ::readlink(path.c_str(), target, sizeof target);
    return got > 0 ? std::string(target, static_cast<std::size_t>(got)) : std::string();
}

}  // namespace

bool NameSpecialItem(const std::string& path, const struct stat& linkStat, std::string& out) {
    struct stat st = linkStat;
    if (S_ISLNK(linkStat.st_mode)) {
        if (::stat(path.c_str(), &st) != 0) {
            out = errno == ELOOP ? "symbolic link loop" : "broken symbolic link to " + LinkTarget(path);
            return true;
        }
        // A link to a folder met inside a folder is not followed.
        if (S_ISDIR(st.st_mode)) {
            out = "symbolic link to " + LinkTarget(path);
            return true;
        }
    }
    const auto nMajor = static_cast<unsigned>(major(st.st_rdev));
    const auto nMinor = static_cast<unsigned>(minor(st.st_rdev));
    if (S_ISFIFO(st.st_mode)) out = "fifo (named pipe)";
    else if (S_ISSOCK(st.st_mode)) out = "socket";
    else if (S_ISCHR(st.st_mode)) out = Format("character special (%u/%u)", nMajor, nMinor);
    else if (S_ISBLK(st.st_mode)) out = Format("block special (%u/%u)", nMajor, nMinor);
    else return false;
    return true;
}

std::string_view SpecialMimeType(const std::string& path, const struct stat& linkStat) {
    struct stat st = linkStat;
    if (S_ISLNK(linkStat.st_mode) && (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))) return "inode/symlink";
    if (S_ISDIR(st.st_mode)) return "inode/directory";
    if (S_ISFIFO(st.st_mode)) return "inode/fifo";
    if (S_ISSOCK(st.st_mode)) return "inode/socket";
    if (S_ISCHR(st.st_mode)) return "inode/chardevice";
    if (S_ISBLK(st.st_mode)) return "inode/blockdevice";
    return {};
}

EReadInput ReadWholeInput(int fd, std::size_t cap, std::vector<std::uint8_t>& bytes) {
    constexpr std::size_t kChunk = 1 << 16;
    bytes.clear();
    for (;;) {
        // One byte past the cap tells a stream of exactly cap bytes from a
        // longer one.
        const std::size_t want = std::min(kChunk, cap + 1 - bytes.size());
        const std::size_t before = bytes.size();
        bytes.resize(before + want);
        const ssize_t got = ::read(fd, bytes.data() + before, want);
        if (got < 0 && errno == EINTR) {
            bytes.resize(before);
            continue;
        }
        bytes.resize(before + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        if (got < 0) return EReadInput::Failed;
        if (got == 0) return EReadInput::Ok;
        if (bytes.size() > cap) {
            bytes.clear();
            return EReadInput::TooLarge;
        }
    }
}

}  // namespace quiddity
