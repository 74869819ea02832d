#include "cli/Network.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/ReportPane.h"
#include "network/NetworkLocations.h"
#include "recognizer/Recognizer.h"
#include "report/InfoReport.h"

namespace quiddity {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNotInspected = 1;
constexpr int kExitUsage = 2;
// A typed password longer than this is cut.
constexpr std::size_t kMaxPassword = 256;

// Asks for the password on the terminal, without echo; the prompt goes to
// standard error.  Empty when there is no terminal.
std::string PromptPassword(const std::string& user) {
    // read-only: the user's terminal, for the password typed there
    const int tty = ::open("/dev/tty", O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (tty < 0) return {};
    std::fprintf(stderr, "Password for %s: ", user.c_str());
    std::fflush(stderr);
    termios saved{};
    const bool isTerminal = ::tcgetattr(tty, &saved) == 0;
    if (isTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    std::string password;
    char c = 0;
    while (password.size() < kMaxPassword && ::read(tty, &c, 1) == 1 && c != '\n') password += c;
    if (isTerminal) ::tcsetattr(tty, TCSAFLUSH, &saved);
    std::fputc('\n', stderr);
    ::close(tty);
    return password;
}

// One line per row, whatever a server puts into its names and comments: a
// tab or newline there would forge a column or a row.
void PrintRows(const std::vector<CListItem>& items) {
    for (const CListItem& item : items) {
        std::printf("%s\t%s\t%s\n", ToUtf8(EscapeControlCharacters(item.name)).c_str(), item.type.c_str(),
                    ToUtf8(EscapeControlCharacters(item.size)).c_str());
    }
}

}  // namespace

bool CCommandLineNetwork::IsNetworkPath(std::string_view path) {
    return path.size() > 6 && ::strncasecmp(path.data(), "smb://", 6) == 0;
}

CSmbClient& CCommandLineNetwork::Client() {
    if (m_pClient) return *m_pClient;
    m_pClient = std::make_unique<CSmbClient>();
    if (!m_strUser.empty()) {
        SmbCredentials credentials;
        credentials.user = m_strUser;
        // DOMAIN\USER names the user's domain, as Windows writes it.
        if (const std::size_t backslash = m_strUser.find('\\'); backslash != std::string::npos) {
            credentials.domain = m_strUser.substr(0, backslash);
            credentials.user = m_strUser.substr(backslash + 1);
        }
        const char* password = std::getenv("QUIDDITY_SMB_PASSWORD");
        credentials.password = password != nullptr ? password : PromptPassword(m_strUser);
        m_pClient->Call([&](CSmbSession& session) {
            session.SetCredentials({}, credentials);
            return 0;
        });
    }
    return *m_pClient;
}

int CCommandLineNetwork::List(const std::string& text) {
    NetworkLocation location;
    if (!ParseNetworkLocation(text, ENetworkLevel::Servers, location)) {
        std::fprintf(stderr, "quiddity: --list takes network, smb://WORKGROUP, smb://SERVER or smb://SERVER/SHARE/PATH/\n");
        return kExitUsage;
    }
    const NetworkRows rows = Client().Call([&](CSmbSession& session) {
        if (session.SetUpError() != 0) return NetworkRows{session.SetUpError(), {}};
        switch (location.level) {
            case ENetworkLevel::Domains: return ListDomains(session);
            case ENetworkLevel::Servers:
                // A name alone is a workgroup when it has a browse list, else a server.
                if (NetworkRows servers = ListServers(session, location.server);
                    servers.error == 0 && servers.items.size() > 1)
                    return servers;
                location.level = ENetworkLevel::Shares;
                return ListShares(session, location);
            case ENetworkLevel::Shares: return ListShares(session, location);
            case ENetworkLevel::Folder: return ListShareFolder(session, location);
        }
        return NetworkRows{};
    });
    if (rows.error != 0) {
        std::fprintf(stderr, "quiddity: %s: %s\n", ToUtf8(text).c_str(), std::strerror(rows.error));
        return kExitNotInspected;
    }
    PrintRows(rows.items);
    return kExitOk;
}

std::unique_ptr<CSmbByteSource> CCommandLineNetwork::Open(const std::string& url, int& error) {
    return CSmbByteSource::Open(Client(), url, error);
}

bool CCommandLineNetwork::EstimateType(const std::string& url, std::string& type, int& error) {
    const std::unique_ptr<CSmbByteSource> source = Open(url, error);
    if (!source && error == EISDIR) {
        type = "Folder";
        error = 0;
        return true;
    }
    if (!source) {
        type = "(couldn't open the file)";
        return false;
    }
    EstimateFileType(*source, type);
    return true;
}

}  // namespace quiddity
