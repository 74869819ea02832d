// The network levels of the location list: workgroups, the servers of a
// workgroup, the shares of a server and the folders of a share, as rows,
// and the ways a network location is written (smb:// URLs and UNC paths
// such as \\server\share\folder).  The listings run on the SMB client's worker.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/LocationItem.h"
#include "network/SmbClient.h"

namespace quiddity {

// Rows that say something about a listing rather than name an item.
inline constexpr std::string_view kLocalServer = "(Local)";
inline constexpr std::string_view kLocalAddress = "127.0.0.1";
inline constexpr std::string_view kBrowsingUnavailable = "(workgroup browsing is not available on this network)";
inline constexpr std::string_view kSearching = "(searching...)";
inline constexpr std::string_view kNoAnswer = "(no answer from the network)";

// True for the rows that name nothing: "(no files found)" and the notes above.
bool IsNoteItem(const CListItem& item);

// The levels a location names.
enum class ENetworkLevel { Domains = 0, Servers = 1, Shares = 2, Folder = 3 };

// A network location taken apart: "network", smb://, smb://WORKGROUP,
// smb://SERVER[:PORT], smb://SERVER/SHARE/PATH, or a \\server\share\path.
// Which of the first two levels smb://NAME means is the caller's to say:
// a name alone is a workgroup for --list, a server when it is opened.
struct NetworkLocation {
    ENetworkLevel level = ENetworkLevel::Domains;
    std::string server;  // a workgroup for the server level; may carry ":PORT"
    std::string share;
    std::string path;  // inside the share, "/"-separated, without leading "/"
};

// Parses "network", an smb:// URL or a UNC path; false for anything else.
// smb://NAME alone is given the level nameLevel (Servers or Shares), unless
// it is a numeric address or has a port, which name a server.
bool ParseNetworkLocation(std::string_view text, ENetworkLevel nameLevel, NetworkLocation& location);

// The server a row names: "(Local)", in any letter case, is this machine.
std::string ServerAddress(std::string_view name);

// The smb:// URL of a location, each name escaped where the library would
// otherwise take it apart ("%" and "?"); a folder's URL ends in "/".
std::string SmbUrl(const NetworkLocation& location, bool folder);

// The \\server\share\path\ form of a folder on a share.
std::string UncFolder(const NetworkLocation& location);

// A listing of one level: the rows (without the ".." the list puts in front
// of the first three levels) and the errno value of a failure that the
// level reports.
struct NetworkRows {
    int error = 0;
    std::vector<CListItem> items;
};

// Level 0: the user's workgroup, then those NetBIOS browsing finds, each
// once; a note when browsing is not available.
NetworkRows ListDomains(CSmbSession& session);
// Level 1: "(Local)", then the browse list of the workgroup with each
// server's comment.  error is set only when the workgroup has a browse
// master that failed to answer.
NetworkRows ListServers(CSmbSession& session, const std::string& workgroup);
// Level 2: the disk and printer shares with their remarks, IPC shares
// hidden, each inserted at the top as the list has always done.
NetworkRows ListShares(CSmbSession& session, const NetworkLocation& server);
// Level 3 and below: a folder on a share, as a local folder is listed.
NetworkRows ListShareFolder(CSmbSession& session, const NetworkLocation& folder);

// The server summary: the comment, then the number of shares, the
// workgroup and the address.
struct ServerSummary {
    int error = 0;
    int shareCount = 0;
    std::string workgroup;  // the user's own
    std::string address;    // empty when unknown
};
ServerSummary SummarizeServer(CSmbSession& session, const std::string& server);

}  // namespace quiddity
