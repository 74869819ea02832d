// quiddity: the information report of files, or their type, from the
// command line.
#include <dirent.h>
#include <getopt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli/BatchText.h"
#include "cli/Network.h"
#include "cli/Progress.h"
#include "core/ContentViews.h"
#include "core/JsonPane.h"
#include "core/ShellType.h"
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

enum class EFormat { Text, Ansi, Html, Json };
// What is written for each path: the report or one of the content views.
enum class EView { Info, Hex, Text, DosText };

// A path to inspect, or standard input ("-" on the command line).
struct CInputItem {
    std::string path;
    bool bStandardInput = false;
};

struct Options {
    bool typeOnly = false;
    bool mimeType = false;
    bool brief = false;
    bool print0 = false;
    bool recursive = false;
    bool fromList = false;
    EFormat format = EFormat::Text;
    EView view = EView::Info;
    bool showOffsets = false;
    CReportSwitches switches;
    std::vector<CInputItem> items;
    std::string listLocation;  // --list
    std::string user;          // --user
};

const char kUsage[] =
    "Usage: quiddity [OPTION]... [PATH]...\n"
    "Tell what files are from their contents, and write an information report.\n"
    "PATH - (or no PATH, with a pipe or file as standard input) reads standard input.\n"
    "\n"
    "  -t, --type              one line per file: PATH: TYPE\n"
    "      --mime-type         one line per file: PATH: TYPE/SUBTYPE, the desktop's MIME type\n"
    "  -b, --brief             leave the path out of those lines\n"
    "  -0, --print0            end the path with a NUL, as file -0 does\n"
    "  -r, --recursive         every file below a folder\n"
    "  -f, --files-from=LIST   read the paths from LIST, one per line (- for standard input)\n"
    "      --files0-from=LIST  read the paths from LIST, each ended by a NUL (find -print0)\n"
    "      --json              one JSON object per path, one per line (docs/json.md)\n"
    "      --format=FORMAT     text, ansi or html (ansi on a terminal unless NO_COLOR is set,\n"
    "                          text otherwise)\n"
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
    "opened or the output could not be written, 2 for a usage error or standard input\n"
    "larger than 256 MiB.\n";

void UsageError(const char* message) {
    std::fprintf(stderr, "quiddity: %s (try 'quiddity --help')\n", message);
}

bool ReadPathList(const char* list, char separator, std::vector<CInputItem>& items) {
    const bool standardInput = std::strcmp(list, "-") == 0;
    // read-only: the list of paths is the user's input, not an inspected file
    std::FILE* in = standardInput ? stdin : std::fopen(list, "re");
    if (in == nullptr) {
        std::fprintf(stderr, "quiddity: %s: %s\n", list, std::strerror(errno));
        return false;
    }
    std::vector<std::string> paths;
    CPathListParser parser(paths, separator);
    char buffer[1 << 14];
    bool ok = true;
    for (std::size_t got = 0; ok && (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
        ok = parser.Add(std::string_view(buffer, got));
    if (ok) parser.Finish();
    else if (separator == '\n') std::fprintf(stderr, "quiddity: %s: line %zu is not a path\n", list, parser.LineNumber());
    else std::fprintf(stderr, "quiddity: %s: name %zu is too long to be a path\n", list, parser.LineNumber());
    if (!standardInput) std::fclose(in);
    for (std::string& path : paths) items.push_back({std::move(path), false});
    return ok;
}

// Standard output with every write checked: output that is lost (a full
// disk, a closed pipe) fails the run instead of passing for success.
class CStandardOutput {
public:
    // Nothing is written once a write has failed (Failed()).
    void Write(std::string_view text) {
        errno = 0;
        if (m_nError == 0 && std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
            m_nError = errno != 0 ? errno : EIO;
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
    enum {
        kFormat = 256, kView, kOffsets, kNoFileInfo, kNoEstimated, kNoExe, kNoChecksum, kNoSpecial, kNoVersion,
        kMimeType, kJson, kFiles0From, kList, kUser
    };
    static const option kLong[] = {
        {"type", no_argument, nullptr, 't'},
        {"mime-type", no_argument, nullptr, kMimeType},
        {"brief", no_argument, nullptr, 'b'},
        {"print0", no_argument, nullptr, '0'},
        {"recursive", no_argument, nullptr, 'r'},
        {"files-from", required_argument, nullptr, 'f'},
        {"files0-from", required_argument, nullptr, kFiles0From},
        {"json", no_argument, nullptr, kJson},
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
    // Colour only for a terminal, and not when the user has asked for none.
    const char* noColor = std::getenv("NO_COLOR");
    const bool colour = ::isatty(STDOUT_FILENO) != 0 && (noColor == nullptr || noColor[0] == '\0');
    options.format = colour ? EFormat::Ansi : EFormat::Text;
    bool listReadsInput = false;
    opterr = 0;
    int c = 0;
    while ((c = getopt_long(argc, argv, "+tb0rf:hV", kLong, nullptr)) != -1) {
        switch (c) {
            case 't': options.typeOnly = true; break;
            case kMimeType: options.mimeType = true; break;
            case 'b': options.brief = true; break;
            case '0': options.print0 = true; break;
            case 'r': options.recursive = true; break;
            case 'f':
            case kFiles0From:
                if (!ReadPathList(optarg, c == 'f' ? '\n' : '\0', options.items)) return kExitUsage;
                options.fromList = true;
                listReadsInput = listReadsInput || std::strcmp(optarg, "-") == 0;
                break;
            case kJson: options.format = EFormat::Json; break;
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
    for (int i = optind; i < argc; ++i) {
        const bool standardInput = std::strcmp(argv[i], "-") == 0;
        if (standardInput && listReadsInput) {
            UsageError("standard input cannot be both the list of paths and a file to inspect");
            return kExitUsage;
        }
        options.items.push_back({argv[i], standardInput});
    }
    // No path: standard input when it is a pipe or a file, as in other
    // filters; a terminal or nothing at all is a usage error.
    struct stat input {};
    const bool listing = !options.listLocation.empty();
    if (options.items.empty() && !options.fromList && !listing && ::fstat(STDIN_FILENO, &input) == 0 &&
        (S_ISFIFO(input.st_mode) || S_ISREG(input.st_mode)))
        options.items.push_back({"-", true});
    if (options.items.empty() && !options.fromList && !listing) {
        UsageError("no file given");
        return kExitUsage;
    }
    return -1;
}

// Only a regular file can fail to open: special items, links met inside a
// folder and kernel streams are never read, which is no failure.
bool FailedToOpen(const struct stat& st, int openError) {
    return S_ISREG(st.st_mode) && openError != 0 && openError != kNeverReadError;
}

std::string_view NameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FolderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view(".") : path.substr(0, slash + 1);
}

// What a type list says of one item.
struct CTypeAnswer {
    std::string strType;
    std::string strMimeType;
    int nError = 0;  // errno value when the item could not be found or opened
};

// One run of the program over its items: the walk below folders, the
// output, the progress line and the exit status.
class CRun {
public:
    CRun(const Options& options, CCommandLineNetwork& network, CStandardOutput& output)
        : m_options(options), m_network(network), m_output(output), m_progress(MakeProgress(options)) {}

    int Run() {
        const bool types = m_options.typeOnly || m_options.mimeType;
        if (types) {
            // A large buffer, since nothing else competes for stdout.
            static char buffer[1 << 16];
            std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
        } else {
            m_pPane = MakePane();
        }
        const bool page = m_options.format == EFormat::Html;
        if (page) m_output.Write(CHtmlPane::PageHead(types ? "Quiddity types" : "Quiddity report"));
        if (page && types)
            m_output.Write(m_options.mimeType ? "<table>\n<tr><th>Path</th><th>MIME type</th></tr>\n"
                                              : "<table>\n<tr><th>Path</th><th>Type</th></tr>\n");
        for (const CInputItem& item : m_options.items) {
            if (m_output.Failed()) break;
            if (item.bStandardInput) InspectStandardInput();
            else Walk(item.path);
        }
        if (page && types) m_output.Write("</table>\n");
        if (page) m_output.Write(CHtmlPane::kPageTail);
        m_progress.Erase();
        return m_nStatus;
    }

private:
    static CProgress MakeProgress(const Options& options) {
        std::size_t width = 0;
        const bool wanted =
            (options.recursive || options.fromList) && options.format != EFormat::Json && ProgressWanted(width);
        return CProgress(wanted, stderr, width);
    }

    std::unique_ptr<CTextPaneBase> MakePane() const {
        switch (m_options.format) {
            case EFormat::Ansi: return std::make_unique<CAnsiPane>();
            case EFormat::Html: return std::make_unique<CHtmlPane>();
            case EFormat::Json: return std::make_unique<CJsonPane>();
            case EFormat::Text: break;
        }
        return std::make_unique<CPlainTextPane>();
    }

    void Fail(int status) { m_nStatus = std::max(m_nStatus, status); }

    void ReportMissing(const std::string& path, int error) {
        m_progress.Erase();
        std::fprintf(stderr, "quiddity: %s: %s\n", ToUtf8(EscapeControlCharacters(path)).c_str(), std::strerror(error));
        Fail(kExitNotInspected);
    }

    // A path named by the user: with --recursive a folder (or a link to
    // one) stands for the files below it.
    void Walk(const std::string& path) {
        if (CCommandLineNetwork::IsNetworkPath(path)) return InspectNetworkFile(path);
        struct stat st {};
        if (m_options.recursive && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) WalkFolder(path, 0);
        else Inspect(path, true);
    }

    void WalkFolder(const std::string& path, int depth) {
        if (depth >= kMaxRecursionDepth) {
            if (!m_bToldDepthLimit) {
                m_progress.Erase();
                std::fprintf(stderr, "quiddity: %s: not entered: --recursive goes %d folders deep at most\n",
                             ToUtf8(EscapeControlCharacters(path)).c_str(), kMaxRecursionDepth);
                m_bToldDepthLimit = true;
            }
            return;
        }
        DIR* dir = ::opendir(path.c_str());
        if (dir == nullptr) {
            ReportMissing(path, errno);
            return;
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
        for (const FolderEntry& entry : entries) {
            if (m_output.Failed()) break;
            const std::string child = prefix + entry.name;
            // Links to folders are named, not followed: no cycles.
            bool isFolder = entry.type == DT_DIR;
            if (entry.type == DT_UNKNOWN) {
                struct stat st {};
                isFolder = ::lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            }
            if (isFolder) WalkFolder(child, depth + 1);
            else Inspect(child, false);
        }
    }

    void Inspect(const std::string& path, bool named) {
        m_progress.Done(FolderOf(path));
        if (m_pPane) WriteReport(path);
        else WriteType(path, AnswerType(path, named));
    }

    // named: the user gave this path, so a link to a folder is the folder.
    CTypeAnswer AnswerType(const std::string& path, bool named) {
        CTypeAnswer answer;
        // Regular files, the common case, are judged at once; only an item
        // that cannot be opened is looked at more closely.
        CReadOnlyFile file;
        if (file.Open(path)) {
            const CFileByteSource source(file);
            EstimateFileType(source, answer.strType);
            if (WantsMimeType()) answer.strMimeType = GuessMimeType(NameOf(path), ReadBlock(source, 0, kMimeHeadSize));
            return answer;
        }
        answer.strType = "(couldn't open the file)";
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            answer.nError = errno;
            return answer;
        }
        struct stat target {};
        if (S_ISDIR(st.st_mode) ||
            (named && S_ISLNK(st.st_mode) && ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode))) {
            answer.strType = "Folder";
            answer.strMimeType = "inode/directory";
            return answer;
        }
        if (std::string special; NameSpecialItem(path, st, special)) answer.strType = std::move(special);
        answer.strMimeType = SpecialMimeType(path, st);
        // A link is judged by its target, which may be a file that failed.
        if (S_ISLNK(st.st_mode)) ::stat(path.c_str(), &st);
        if (FailedToOpen(st, file.Error())) answer.nError = file.Error();
        return answer;
    }

    bool WantsMimeType() const { return m_options.mimeType || m_options.format == EFormat::Json; }

    void WriteType(const std::string& path, const CTypeAnswer& answer) {
        const std::string& shown = m_options.mimeType ? answer.strMimeType : answer.strType;
        m_line.clear();
        if (m_options.format == EFormat::Json) {
            m_line = JsonLine({.strPath = path, .strType = answer.strType, .strMimeType = answer.strMimeType,
                               .nError = answer.nError});
        } else if (m_options.format == EFormat::Html) {
            m_line = "<tr><td>" + CHtmlPane::Escape(EscapeControlCharacters(path)) + "</td><td>" +
                     CHtmlPane::Escape(shown) + "</td></tr>\n";
        } else {
            const ETypeLine shape =
                m_options.brief ? ETypeLine::Brief : m_options.print0 ? ETypeLine::Print0 : ETypeLine::Named;
            AppendTypeLine(m_line, path, shown.empty() ? answer.strType : shown, shape);
        }
        m_output.Write(m_line);
        if (answer.nError != 0) ReportMissing(path, answer.nError);
    }

    void WriteReport(const std::string& path) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            const int error = errno;
            if (m_options.format == EFormat::Json)
                m_output.Write(JsonLine({.strPath = path, .strType = "(couldn't open the file)", .nError = error}));
            ReportMissing(path, error);
            return;
        }
        CReportResult result;
        if (m_options.view == EView::Info) {
            std::string folder;
            std::string name;
            SplitInspectedPath(path, folder, name);
            result = CFileInspector(name, folder, *m_pPane, InitTextStyles(), m_options.switches).BuildInfoReport();
        } else {
            result.nOpenError = WriteContentView(path);
        }
        const int error = FailedToOpen(st, result.nOpenError) ? result.nOpenError : 0;
        if (result.strMimeType.empty()) result.strMimeType = SpecialMimeType(path, st);
        FinishReport(path, result, error);
        if (error != 0) ReportMissing(path, error);
    }

    void FinishReport(std::string_view path, const CReportResult& result, int error) {
        if (m_options.format == EFormat::Json) {
            m_output.Write(JsonLine({path, result.strTypeText, result.strShellType, result.strMimeType,
                                     static_cast<const CJsonPane*>(m_pPane.get()), error}));
        } else {
            m_output.Write(m_pPane->Text());
        }
        m_pPane->Clear();
    }

    // Returns the errno value when the file could not be opened, else 0.
    int WriteContentView(const std::string& path) {
        const CTextStyles& styles = InitTextStyles();
        switch (m_options.view) {
            case EView::Hex: return ShowHexView(*m_pPane, styles, path, m_options.showOffsets, false);
            case EView::Text: return ShowTextView(*m_pPane, styles, path);
            case EView::DosText: return ShowDosTextView(*m_pPane, styles, path);
            case EView::Info: break;
        }
        return 0;
    }

    void InspectStandardInput() {
        std::vector<std::uint8_t> bytes;
        const EReadInput read = ReadWholeInput(STDIN_FILENO, kMaxStandardInput, bytes);
        if (read == EReadInput::TooLarge) {
            m_progress.Erase();
            std::fprintf(stderr, "quiddity: -: standard input is larger than %zu MiB; save it to a file first\n",
                         kMaxStandardInput >> 20);
            Fail(kExitUsage);
            return;
        }
        if (read == EReadInput::Failed) {
            ReportMissing("-", errno);
            return;
        }
        const CMemoryByteSource source(bytes);
        if (!m_pPane) {
            CTypeAnswer answer;
            EstimateFileType(source, answer.strType);
            if (WantsMimeType()) answer.strMimeType = GuessMimeType({}, ReadBlock(source, 0, kMimeHeadSize));
            WriteType("-", answer);
            return;
        }
        CReportResult result;
        if (m_options.view == EView::Info) {
            result = CFileInspector("", "", *m_pPane, InitTextStyles(), m_options.switches)
                         .BuildStreamReport(source, "(standard input)");
        } else {
            ShowSourceView(&source);
        }
        FinishReport("-", result, 0);
    }

    // A file on a share: its bytes come through the network, its facts
    // from the server.
    void InspectNetworkFile(const std::string& url) {
        m_progress.Done(FolderOf(url));
        int error = 0;
        const std::unique_ptr<CSmbByteSource> source = m_network.Open(url, error);
        if (!m_pPane) {
            CTypeAnswer answer;
            if (source) {
                EstimateFileType(*source, answer.strType);
                if (WantsMimeType())
                    answer.strMimeType = GuessMimeType(NameOf(url), ReadBlock(*source, 0, kMimeHeadSize));
            } else if (error == EISDIR) {
                answer.strType = "Folder";
                answer.strMimeType = "inode/directory";
            } else {
                answer.strType = "(couldn't open the file)";
                answer.nError = error;
            }
            WriteType(url, answer);
            return;
        }
        if (!source) {
            if (m_options.format == EFormat::Json)
                m_output.Write(JsonLine({.strPath = url, .strType = "(couldn't open the file)", .nError = error}));
            ReportMissing(url, error);
            return;
        }
        CReportResult result;
        if (m_options.view == EView::Info) {
            const std::size_t slash = url.rfind('/');
            result = CFileInspector(url.substr(slash + 1), url.substr(0, slash + 1), *m_pPane, InitTextStyles(),
                                    m_options.switches)
                         .BuildInfoReport(source.get(), FormatFileInformation(source->Facts(), false));
        } else {
            ShowSourceView(source.get());
        }
        FinishReport(url, result, 0);
    }

    // The views of bytes already at hand (standard input, a file on a share).
    void ShowSourceView(const IByteSource* source) {
        const CTextStyles& styles = InitTextStyles();
        switch (m_options.view) {
            case EView::Hex: ShowHexView(*m_pPane, styles, source, m_options.showOffsets, false); break;
            case EView::Text: ShowTextView(*m_pPane, styles, source); break;
            case EView::DosText: ShowDosTextView(*m_pPane, styles, source); break;
            case EView::Info: break;
        }
    }

    const Options& m_options;
    CCommandLineNetwork& m_network;
    CStandardOutput& m_output;
    CProgress m_progress;
    std::unique_ptr<CTextPaneBase> m_pPane;
    int m_nStatus = kExitOk;
    bool m_bToldDepthLimit = false;
    std::string m_line;
};

}  // namespace

int main(int argc, char** argv) {
    CStandardOutput output;
    Options options;
    int status = ParseOptions(argc, argv, options);
    if (status < 0) {
        CCommandLineNetwork network(options.user);
        if (!options.listLocation.empty()) status = network.List(options.listLocation);
        else status = CRun(options, network, output).Run();
    }
    return output.Finish(status);
}
