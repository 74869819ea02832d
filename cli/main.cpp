// quiddity: the information report of files, or their type, from the
// command line.
#include <dirent.h>
#include <getopt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli/BatchText.h"
#include "cli/Network.h"
#include "core/ContentViews.h"
#include "core/ReadOnlyFile.h"
#include "report/InfoReport.h"
#include "core/TextPanes.h"
#include "core/Version.h"
#include "formats/FileSystemFacts.h"
#include "recognizer/Recognizer.h"

namespace {

using namespace quiddity;

constexpr int kExitOk = 0;
constexpr int kExitNotInspected = 1;
constexpr int kExitOutputLost = 1;
constexpr int kExitUsage = 2;
// Folders deeper than this are not entered by --recursive: deeper trees are
// almost always a link farm or a hostile image.
constexpr int kMaxRecursionDepth = 64;

enum class EFormat { Text, Ansi, Html };
// What is written for each path: the report or one of the content views.
enum class EView { Info, Hex, Text, DosText };

struct Options {
    bool typeOnly = false;
    bool recursive = false;
    EFormat format = EFormat::Text;
    EView view = EView::Info;
    bool showOffsets = false;
    CReportSwitches switches;
    std::vector<std::string> paths;
    std::string listLocation;  // --list
    std::string user;          // --user
};

const char kUsage[] =
    "Usage: quiddity [OPTION]... PATH...\n"
    "Tell what files are from their contents, and write an information report.\n"
    "\n"
    "  -t, --type              one line per file: PATH: TYPE\n"
    "  -r, --recursive         with --type, every file below a folder\n"
    "  -f, --files-from=LIST   read the paths from LIST, one per line (- for standard input)\n"
    "      --format=FORMAT     text, ansi or html (ansi on a terminal, text otherwise)\n"
    "      --view=VIEW         info (the report), hex (the first 2048 bytes), text or dos\n"
    "                          (the first 4096 bytes as text, or in PC screen glyphs)\n"
    "      --offsets           with --view=hex, begin each line with its offset\n"
    "      --no-file-info      leave out the file-system information\n"
    "      --no-estimated      leave out the estimated type\n"
    "      --no-exe            leave out the executable-type lines\n"
    "      --no-checksum       leave out the checksum\n"
    "      --no-special        leave out the format sections (compound documents, executables)\n"
    "      --no-version        leave out the version information\n"
    "      --list=LOCATION     list a network location as NAME<TAB>TYPE<TAB>SIZE lines:\n"
    "                          network (the workgroups), smb://WORKGROUP (its servers),\n"
    "                          smb://SERVER (its shares) or smb://SERVER/SHARE/PATH/\n"
    "      --user=USER         log on to servers as USER (or DOMAIN\\USER); the password\n"
    "                          comes from QUIDDITY_SMB_PASSWORD or is asked for\n"
    "  -h, --help              show this help and exit\n"
    "  -V, --version           show the version and exit\n"
    "\n"
    "A PATH may be a file on a share: smb://SERVER[:PORT]/SHARE/PATH.\n"
    "\n"
    "Exit status: 0 when every path was inspected, 1 when one could not be found or\n"
    "opened or the output could not be written, 2 for a usage error.\n";

void UsageError(const char* message) {
    std::fprintf(stderr, "quiddity: %s (try 'quiddity --help')\n", message);
}

bool ReadPathList(const char* list, std::vector<std::string>& paths) {
    const bool standardInput = std::strcmp(list, "-") == 0;
    // read-only: the list of paths is the user's input, not an inspected file
    std::FILE* in = standardInput ? stdin : std::fopen(list, "re");
    if (in == nullptr) {
        std::fprintf(stderr, "quiddity: %s: %s\n", list, std::strerror(errno));
        return false;
    }
    CPathListParser parser(paths);
    char buffer[1 << 14];
    bool ok = true;
    for (std::size_t got = 0; ok && (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
        ok = parser.Add(std::string_view(buffer, got));
    if (ok) parser.Finish();
    else std::fprintf(stderr, "quiddity: %s: line %zu is not a path\n", list, parser.LineNumber());
    if (!standardInput) std::fclose(in);
    return ok;
}

// Standard output with every write checked: output that is lost (a full
// disk, a closed pipe) fails the run instead of passing for success.
class CStandardOutput {
public:
    // Returns false once a write has failed; nothing is written after it.
    bool Write(std::string_view text) {
        errno = 0;
        if (m_nError == 0 && std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
            m_nError = errno != 0 ? errno : EIO;
        return m_nError == 0;
    }
    bool Failed() const { return m_nError != 0; }

    // Flushes and closes standard output.  Returns status, or
    // kExitOutputLost after a write error, which is said on standard error
    // (a closed pipe quietly, as other tools end in a pipeline).
    int Finish(int status) {
        errno = 0;
        if (m_nError == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout))) m_nError = errno != 0 ? errno : EIO;
        if (std::fclose(stdout) != 0 && m_nError == 0) m_nError = errno != 0 ? errno : EIO;
        if (m_nError == 0) return status;
        if (m_nError != EPIPE) std::fprintf(stderr, "quiddity: write error: %s\n", std::strerror(m_nError));
        return kExitOutputLost;
    }

private:
    int m_nError = 0;
};

// Returns the exit status for a usage error, or -1 to go on.
int ParseOptions(int argc, char** argv, Options& options) {
    enum { kFormat = 256, kView, kOffsets, kNoFileInfo, kNoEstimated, kNoExe, kNoChecksum, kNoSpecial, kNoVersion, kList, kUser };
    static const option kLong[] = {
        {"type", no_argument, nullptr, 't'},
        {"recursive", no_argument, nullptr, 'r'},
        {"files-from", required_argument, nullptr, 'f'},
        {"format", required_argument, nullptr, kFormat},
        {"view", required_argument, nullptr, kView},
        {"offsets", no_argument, nullptr, kOffsets},
        {"no-file-info", no_argument, nullptr, kNoFileInfo},
        {"no-estimated", no_argument, nullptr, kNoEstimated},
        {"no-exe", no_argument, nullptr, kNoExe},
        {"no-checksum", no_argument, nullptr, kNoChecksum},
        {"no-special", no_argument, nullptr, kNoSpecial},
        {"no-version", no_argument, nullptr, kNoVersion},
        {"list", required_argument, nullptr, kList},
        {"user", required_argument, nullptr, kUser},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},
        {nullptr, 0, nullptr, 0},
    };
    options.format = ::isatty(STDOUT_FILENO) ? EFormat::Ansi : EFormat::Text;
    opterr = 0;
    int c = 0;
    while ((c = getopt_long(argc, argv, "+trf:hV", kLong, nullptr)) != -1) {
        switch (c) {
            case 't': options.typeOnly = true; break;
            case 'r': options.recursive = true; break;
            case 'f':
                if (!ReadPathList(optarg, options.paths)) return kExitUsage;
                break;
            case kFormat:
                if (std::strcmp(optarg, "text") == 0) options.format = EFormat::Text;
                else if (std::strcmp(optarg, "ansi") == 0) options.format = EFormat::Ansi;
                else if (std::strcmp(optarg, "html") == 0) options.format = EFormat::Html;
                else { UsageError("--format must be text, ansi or html"); return kExitUsage; }
                break;
            case kView:
                if (std::strcmp(optarg, "info") == 0) options.view = EView::Info;
                else if (std::strcmp(optarg, "hex") == 0) options.view = EView::Hex;
                else if (std::strcmp(optarg, "text") == 0) options.view = EView::Text;
                else if (std::strcmp(optarg, "dos") == 0) options.view = EView::DosText;
                else { UsageError("--view must be info, hex, text or dos"); return kExitUsage; }
                break;
            case kOffsets: options.showOffsets = true; break;
            case kNoFileInfo: options.switches.ShowFileInfo = false; break;
            case kNoEstimated: options.switches.ShowEstimated = false; break;
            case kNoExe: options.switches.ShowExe = false; break;
            case kNoChecksum: options.switches.ShowChecksum = false; break;
            case kNoSpecial: options.switches.ShowSpecial = false; break;
            case kNoVersion: options.switches.ShowVersionInfo = false; break;
            case kList: options.listLocation = optarg; break;
            case kUser: options.user = optarg; break;
            case 'h': std::fputs(kUsage, stdout); return kExitOk;
            case 'V': std::printf("quiddity %s\n", kQuiddityVersion); return kExitOk;
            default: {
                const std::string message = "unknown or incomplete option '" + std::string(argv[optind - 1]) + "'";
                UsageError(message.c_str());
                return kExitUsage;
            }
        }
    }
    for (int i = optind; i < argc; ++i) options.paths.emplace_back(argv[i]);
    if (options.paths.empty() && options.listLocation.empty()) {
        UsageError("no file given");
        return kExitUsage;
    }
    return -1;
}

void ReportMissing(const std::string& path, int error) {
    std::fprintf(stderr, "quiddity: %s: %s\n", ToUtf8(EscapeControlCharacters(path)).c_str(), std::strerror(error));
}

// Only a regular file can fail to open: special items, links met inside a
// folder and kernel streams are never read, which is no failure.
bool FailedToOpen(const struct stat& st, int openError) {
    return S_ISREG(st.st_mode) && openError != 0 && openError != kNeverReadError;
}

class CTypeLister {
public:
    CTypeLister(bool recursive, CCommandLineNetwork& network, CStandardOutput& output)
        : m_recursive(recursive), m_network(network), m_output(output) {}

    // Returns false when the path could not be found or opened.
    bool List(const std::string& path, int depth = 0) {
        int error = 0;
        if (depth == 0 && CCommandLineNetwork::IsNetworkPath(path)) {
            const bool opened = m_network.EstimateType(path, m_type, error);
            Print(path, m_type);
            if (!opened) ReportMissing(path, error);
            return opened;
        }
        // Regular files, the common case, are judged at once; only an item
        // that cannot be opened is looked at more closely.
        if (EstimateFileType(path, m_type, &error)) {
            Print(path, m_type);
            return true;
        }
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            error = errno;
            Print(path, m_type);
            ReportMissing(path, error);
            return false;
        }
        // A link named on the command line stands for its folder, as in
        // other tools; links met inside a folder are not followed.
        struct stat target {};
        if (depth == 0 && S_ISLNK(st.st_mode) && ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode))
            st = target;
        if (S_ISDIR(st.st_mode)) {
            if (!m_recursive) {
                Print(path, "Folder");
                return true;
            }
            return ListFolder(path, depth);
        }
        Print(path, m_type);
        if (!FailedToOpen(st, error)) return true;
        ReportMissing(path, error);
        return false;
    }

private:
    bool ListFolder(const std::string& path, int depth) {
        if (depth >= kMaxRecursionDepth) {
            if (!m_bToldDepthLimit) {
                std::fprintf(stderr, "quiddity: %s: not entered: --recursive goes %d folders deep at most\n",
                             ToUtf8(EscapeControlCharacters(path)).c_str(), kMaxRecursionDepth);
                m_bToldDepthLimit = true;
            }
            return true;
        }
        DIR* dir = ::opendir(path.c_str());
        if (dir == nullptr) {
            ReportMissing(path, errno);
            return false;
        }
        struct FolderEntry {
            std::string name;
            unsigned char type;  // DT_DIR, DT_REG...; DT_UNKNOWN where the file system does not say
        };
        std::vector<FolderEntry> entries;
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                entries.push_back({entry->d_name, entry->d_type});
        }
        ::closedir(dir);
        std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
        const std::string prefix = path.back() == '/' ? path : path + "/";
        bool ok = true;
        for (const FolderEntry& entry : entries) {
            if (m_output.Failed()) break;
            const std::string child = prefix + entry.name;
            // Links to folders are listed, not followed: no cycles.
            bool isFolder = entry.type == DT_DIR;
            if (entry.type == DT_UNKNOWN) {
                struct stat st {};
                isFolder = ::lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            }
            if (isFolder) ok = ListFolder(child, depth + 1) && ok;
            else ok = List(child, depth + 1) && ok;
        }
        return ok;
    }

    void Print(const std::string& path, const std::string& type) {
        m_line.clear();
        AppendTypeLine(m_line, path, type);
        m_output.Write(m_line);
    }

    bool m_recursive;
    CCommandLineNetwork& m_network;
    CStandardOutput& m_output;
    bool m_bToldDepthLimit = false;
    std::string m_type;
    std::string m_line;
};

std::unique_ptr<CTextPaneBase> MakePane(EFormat format) {
    switch (format) {
        case EFormat::Ansi: return std::make_unique<CAnsiPane>();
        case EFormat::Html: return std::make_unique<CHtmlPane>();
        case EFormat::Text: break;
    }
    return std::make_unique<CPlainTextPane>();
}

// Returns the errno value when the file could not be opened, else 0.
int WriteContentView(const Options& options, const std::string& path, IReportPane& pane) {
    const CTextStyles& styles = InitTextStyles();
    switch (options.view) {
        case EView::Hex: return ShowHexView(pane, styles, path, options.showOffsets, false);
        case EView::Text: return ShowTextView(pane, styles, path);
        case EView::DosText: return ShowDosTextView(pane, styles, path);
        case EView::Info: break;
    }
    return 0;
}

// The report or view of a file on a share; returns false when it could not
// be opened.
bool WriteNetworkFile(const Options& options, CCommandLineNetwork& network, const std::string& url, IReportPane& pane) {
    int error = 0;
    const std::unique_ptr<CSmbByteSource> source = network.Open(url, error);
    if (!source) {
        ReportMissing(url, error);
        return false;
    }
    const CTextStyles& styles = InitTextStyles();
    switch (options.view) {
        case EView::Hex: ShowHexView(pane, styles, source.get(), options.showOffsets, false); break;
        case EView::Text: ShowTextView(pane, styles, source.get()); break;
        case EView::DosText: ShowDosTextView(pane, styles, source.get()); break;
        case EView::Info: {
            const std::size_t slash = url.rfind('/');
            CFileInspector inspector(url.substr(slash + 1), url.substr(0, slash + 1), pane, styles, options.switches);
            inspector.BuildInfoReport(source.get(), FormatFileInformation(source->Facts(), false));
            break;
        }
    }
    return true;
}

// The report or view of a local item; returns false when it could not be
// found or opened.
bool WriteLocalFile(const Options& options, const std::string& path, IReportPane& pane) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        ReportMissing(path, errno);
        return false;
    }
    int openError = 0;
    if (options.view == EView::Info) {
        std::string folder;
        std::string name;
        SplitInspectedPath(path, folder, name);
        openError = CFileInspector(name, folder, pane, InitTextStyles(), options.switches).BuildInfoReport().nOpenError;
    } else {
        openError = WriteContentView(options, path, pane);
    }
    if (FailedToOpen(st, openError)) {
        ReportMissing(path, openError);
        return false;
    }
    return true;
}

int WriteReports(const Options& options, CCommandLineNetwork& network, CStandardOutput& output) {
    const std::unique_ptr<CTextPaneBase> pane = MakePane(options.format);
    // Each report is written as soon as it is done, a page of them too.
    if (options.format == EFormat::Html) output.Write(CHtmlPane::PageHead("Quiddity report"));
    bool allInspected = true;
    for (const std::string& path : options.paths) {
        if (output.Failed()) break;
        if (CCommandLineNetwork::IsNetworkPath(path)) {
            allInspected = WriteNetworkFile(options, network, path, *pane) && allInspected;
        } else if (!WriteLocalFile(options, path, *pane)) {
            allInspected = false;
        }
        output.Write(pane->Text());
        pane->Clear();
    }
    if (options.format == EFormat::Html) output.Write(CHtmlPane::kPageTail);
    return allInspected ? kExitOk : kExitNotInspected;
}

int ListTypes(const Options& options, CCommandLineNetwork& network, CStandardOutput& output) {
    // A large buffer, since nothing else competes for stdout.
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    CTypeLister lister(options.recursive, network, output);
    bool allInspected = true;
    for (const std::string& path : options.paths) {
        if (output.Failed()) break;
        allInspected = lister.List(path) && allInspected;
    }
    return allInspected ? kExitOk : kExitNotInspected;
}

}  // namespace

int main(int argc, char** argv) {
    CStandardOutput output;
    Options options;
    int status = ParseOptions(argc, argv, options);
    if (status < 0) {
        CCommandLineNetwork network(options.user);
        if (!options.listLocation.empty()) status = network.List(options.listLocation);
        else if (options.typeOnly) status = ListTypes(options, network, output);
        else status = WriteReports(options, network, output);
    }
    return output.Finish(status);
}
