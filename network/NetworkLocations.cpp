#include "network/NetworkLocations.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <strings.h>

namespace quiddity {

namespace {

constexpr std::string_view kSmbScheme = "smb://";

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// Splits "a/b/c" (or with backslashes) into its non-empty pieces.
std::vector<std::string> Pieces(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end > start) pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

// The library decodes %XX in every part of a URL and takes "?" as the start
// of its options.
std::string Escaped(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c == '%') out += "%25";
        else if (c == '?') out += "%3F";
        else out += c;
    }
    return out;
}

// The host of "host[:port]".
std::string HostOf(const std::string& server) {
    const std::size_t colon = server.rfind(':');
    return colon == std::string::npos ? server : server.substr(0, colon);
}

// A port or a numeric address names a server, never a workgroup.
bool IsServerAddress(const std::string& name) {
    if (name.find(':') != std::string::npos) return true;
    in_addr address{};
    return ::inet_pton(AF_INET, name.c_str(), &address) == 1;
}

}  // namespace

bool IsNoteItem(const CListItem& item) {
    static constexpr std::array<std::string_view, 4> kNotes{kNoFilesFound, kBrowsingUnavailable, kSearching, kNoAnswer};
    return item.type.empty() && std::find(kNotes.begin(), kNotes.end(), item.name) != kNotes.end();
}

bool ParseNetworkLocation(std::string_view text, ENetworkLevel nameLevel, NetworkLocation& location) {
    location = {};
    std::vector<std::string> pieces;
    if (EqualNoCase(text, "network")) return true;
    if (text.size() >= kSmbScheme.size() && EqualNoCase(text.substr(0, kSmbScheme.size()), kSmbScheme)) {
        pieces = Pieces(text.substr(kSmbScheme.size()), '/');
    } else if (text.starts_with("\\\\")) {
        pieces = Pieces(text.substr(2), '\\');
    } else {
        return false;
    }
    if (pieces.empty()) return true;
    location.server = pieces[0];
    if (pieces.size() == 1) {
        location.level = IsServerAddress(location.server) ? ENetworkLevel::Shares : nameLevel;
        return true;
    }
    location.level = ENetworkLevel::Folder;
    location.share = pieces[1];
    for (std::size_t i = 2; i < pieces.size(); ++i) {
        if (!location.path.empty()) location.path += '/';
        location.path += pieces[i];
    }
    return true;
}

std::string ServerAddress(std::string_view name) {
    return EqualNoCase(name, kLocalServer) ? std::string(kLocalAddress) : std::string(name);
}

std::string SmbUrl(const NetworkLocation& location, bool folder) {
    std::string url(kSmbScheme);
    if (location.server.empty()) return url;
    url += Escaped(location.server);
    if (!location.share.empty()) url += "/" + Escaped(location.share);
    for (const std::string& piece : Pieces(location.path, '/')) url += "/" + Escaped(piece);
    if (folder) url += "/";
    return url;
}

std::string UncFolder(const NetworkLocation& location) {
    std::string unc = "\\\\" + location.server + "\\";
    if (location.share.empty()) return unc;
    unc += location.share + "\\";
    for (const std::string& piece : Pieces(location.path, '/')) unc += piece + "\\";
    return unc;
}

NetworkRows ListDomains(CSmbSession& session) {
    NetworkRows rows;
    std::vector<std::string> names;
    if (const std::string own = session.Workgroup(); !own.empty()) names.push_back(own);
    std::vector<SmbEntry> entries;
    const int error = session.List("smb://", ESmbProtocol::Browse, false, entries);
    bool browsed = false;
    for (const SmbEntry& entry : entries) {
        if (entry.kind != ESmbKind::Workgroup) continue;
        browsed = true;
        const bool known = std::any_of(names.begin(), names.end(), [&](const std::string& name) { return EqualNoCase(name, entry.name); });
        if (!known) names.push_back(entry.name);
    }
    for (std::string& name : names) rows.items.push_back({std::move(name), std::string(kTypeDomain), {}});
    if (rows.items.empty()) rows.items.push_back({std::string(kNoFilesFound), {}, {}});
    if (!browsed || error != 0) rows.items.push_back({std::string(kBrowsingUnavailable), {}, {}});
    return rows;
}

NetworkRows ListServers(CSmbSession& session, const std::string& workgroup) {
    NetworkRows rows;
    rows.items.push_back({std::string(kLocalServer), std::string(kTypeServer), {}});
    if (workgroup.empty()) return rows;
    std::vector<SmbEntry> entries;
    const int error = session.List(SmbUrl({ENetworkLevel::Servers, workgroup, {}, {}}, false), ESmbProtocol::Browse,
                                   false, entries);
    // A workgroup without a browse master is no failure: it has no list.
    // The library says so with ENOENT, or, having tried the name as a
    // server, with the failure to connect.
    if (error != 0 && error != ENOENT && error != ECONNREFUSED && error != EHOSTUNREACH) rows.error = error;
    for (const SmbEntry& entry : entries)
        if (entry.kind == ESmbKind::Server) rows.items.push_back({entry.name, std::string(kTypeServer), entry.comment});
    return rows;
}

NetworkRows ListShares(CSmbSession& session, const NetworkLocation& server) {
    NetworkRows rows;
    std::vector<SmbEntry> entries;
    rows.error = session.List(SmbUrl({ENetworkLevel::Shares, server.server, {}, {}}, false), ESmbProtocol::Shares,
                              false, entries);
    for (const SmbEntry& entry : entries) {
        if (entry.kind != ESmbKind::DiskShare && entry.kind != ESmbKind::PrinterShare) continue;
        rows.items.insert(rows.items.begin(), CListItem{entry.name, std::string(kTypeShare), entry.comment});
    }
    return rows;
}

NetworkRows ListShareFolder(CSmbSession& session, const NetworkLocation& folder) {
    NetworkRows rows;
    std::vector<SmbEntry> entries;
    rows.error = session.List(SmbUrl(folder, true), ESmbProtocol::Shares, true, entries);
    std::size_t folders = 0;
    for (const SmbEntry& entry : entries) {
        if (entry.name == ".") continue;
        if (entry.kind == ESmbKind::Folder) {
            const auto at = rows.items.begin() + static_cast<std::ptrdiff_t>(folders++);
            rows.items.insert(at, CListItem{entry.name, std::string(kTypeDir), {}});
        } else {
            rows.items.push_back(FileItem(entry.name, entry.size));
        }
    }
    return rows;
}

ServerSummary SummarizeServer(CSmbSession& session, const std::string& server) {
    ServerSummary summary;
    const NetworkRows shares = ListShares(session, {ENetworkLevel::Shares, server, {}, {}});
    summary.error = shares.error;
    summary.shareCount = static_cast<int>(shares.items.size());
    summary.workgroup = session.Workgroup();
    // A numeric address is its own answer; a name is looked up the way the
    // system looks up hosts.
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(HostOf(server).c_str(), nullptr, &hints, &found) == 0 && found != nullptr) {
        char text[INET6_ADDRSTRLEN] = {};
        if (::getnameinfo(found->ai_addr, found->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST) == 0)
            summary.address = text;
        ::freeaddrinfo(found);
    }
    return summary;
}

}  // namespace quiddity
