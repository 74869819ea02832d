// The command line's side of the network: --list of a network location,
// and files on shares (smb:// paths) reported or typed.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "network/SmbClient.h"

namespace quiddity {

class CCommandLineNetwork {
public:
    // user: what --user gave ("USER" or "DOMAIN\USER"), or empty.  Its
    // password is asked for only when the network is first used.
    explicit CCommandLineNetwork(std::string user) : m_strUser(std::move(user)) {}

    static bool IsNetworkPath(std::string_view path);

    // Prints the rows of a location as NAME<TAB>TYPE<TAB>SIZE lines; returns
    // the exit status.
    int List(const std::string& location);
    // The type line of a file on a share; false, with the errno value, when
    // it could not be opened.
    bool EstimateType(const std::string& url, std::string& type, int& error);
    // Opens a file on a share; null, with the errno value, on failure.
    std::unique_ptr<CSmbByteSource> Open(const std::string& url, int& error);

private:
    CSmbClient& Client();

    std::string m_strUser;
    std::unique_ptr<CSmbClient> m_pClient;
};

}  // namespace quiddity
