// The network levels, files on shares and the command line's network side
// against a real Samba server.  Run through samba-env.sh, which starts the
// server in a network namespace of its own and says where its shares lie
// (QUIDDITY_SAMBA_ROOT); smbclient serves as the independent witness.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "../TestSupport.h"
#include "network/NetworkLocations.h"

using namespace quiddity;
using quiddity::test::RunCommand;

namespace {

constexpr const char* kServer = "127.0.0.1:4445";
constexpr const char* kUser = "quser";
constexpr const char* kPassword = "quidditypw";

// Where samba-env.sh put the shares; empty when the test runs without it.
std::string SambaRoot() {
    const char* root = std::getenv("QUIDDITY_SAMBA_ROOT");
    return root != nullptr ? root : "";
}

#define REQUIRE_SAMBA()                                                                  \
    if (SambaRoot().empty()) GTEST_SKIP() << "runs only inside tests/network/samba-env.sh"

std::vector<std::uint8_t> ReadLocal(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

NetworkLocation Folder(std::string share, std::string path = {}) {
    return {ENetworkLevel::Folder, kServer, std::move(share), std::move(path)};
}

std::vector<std::string> Names(const std::vector<CListItem>& items) {
    std::vector<std::string> names;
    for (const CListItem& item : items) names.push_back(item.name);
    return names;
}

// The command line, detached from any terminal so that it never prompts.
std::string Program(const std::string& arguments, int* status = nullptr) {
    return RunCommand(std::string("setsid -w ") + QUIDDITY_PROGRAM + " " + arguments + " 2>&1", status);
}

class Network : public ::testing::Test {
protected:
    CSmbClient m_client;
};

}  // namespace

TEST_F(Network, SharesWithTheirRemarksAsSmbclientSeesThem) {
    REQUIRE_SAMBA();
    const NetworkRows rows =
        m_client.Call([](CSmbSession& session) { return ListShares(session, {ENetworkLevel::Shares, kServer, {}, {}}); });
    ASSERT_EQ(rows.error, 0);
    std::set<std::pair<std::string, std::string>> ours;
    for (const CListItem& item : rows.items) {
        EXPECT_EQ(item.type, "(share)");
        ours.insert({item.name, item.size});
    }
    // smbclient -g prints "Disk|name|comment" and "IPC|IPC$|..." lines.
    std::istringstream lines(RunCommand("smbclient -N -g -p 4445 -L //127.0.0.1 2>/dev/null"));
    std::set<std::pair<std::string, std::string>> theirs;
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("Disk|") && !line.starts_with("Printer|")) continue;
        const std::size_t bar = line.find('|', line.find('|') + 1);
        theirs.insert({line.substr(line.find('|') + 1, bar - line.find('|') - 1), line.substr(bar + 1)});
    }
    EXPECT_EQ(ours.size(), 3u);
    EXPECT_EQ(ours, theirs);  // IPC$ is not among them
}

TEST_F(Network, ShareFolderListedLikeALocalFolder) {
    REQUIRE_SAMBA();
    const NetworkRows root = m_client.Call([](CSmbSession& session) { return ListShareFolder(session, Folder("share1")); });
    ASSERT_EQ(root.error, 0);
    // Folders in front, ".." kept and "." left out; files with their
    // extension and size text.
    ASSERT_EQ(Names(root.items), (std::vector<std::string>{"..", "folder", "hello32.exe"}));
    EXPECT_EQ(root.items[1].type, "(dir)");
    struct stat st {};
    ASSERT_EQ(::stat((SambaRoot() + "/share1/hello32.exe").c_str(), &st), 0);
    EXPECT_EQ(root.items[2].type, ".exe");
    EXPECT_EQ(root.items[2].size, SizeText(static_cast<std::uint64_t>(st.st_size)));

    const NetworkRows inner = m_client.Call([](CSmbSession& session) { return ListShareFolder(session, Folder("share1", "folder")); });
    EXPECT_EQ(Names(inner.items), (std::vector<std::string>{"..", "inner.txt"}));

    const NetworkRows missing = m_client.Call([](CSmbSession& session) { return ListShareFolder(session, Folder("share1", "none")); });
    EXPECT_EQ(missing.error, ENOENT);
}

TEST_F(Network, ProtectedShareNeedsItsUser) {
    REQUIRE_SAMBA();
    auto list = [this] {
        return m_client.Call([](CSmbSession& session) { return ListShareFolder(session, Folder("secret")); });
    };
    EXPECT_EQ(list().error, EACCES);
    m_client.Call([](CSmbSession& session) {
        session.SetCredentials(kServer, {kUser, "wrong", {}});
        return 0;
    });
    EXPECT_EQ(list().error, EACCES);
    m_client.Call([](CSmbSession& session) {
        // The port is no part of the name credentials are kept under.
        session.SetCredentials("127.0.0.1", {kUser, kPassword, {}});
        return 0;
    });
    const NetworkRows rows = list();
    EXPECT_EQ(rows.error, 0);
    EXPECT_EQ(Names(rows.items), (std::vector<std::string>{"..", "private.txt"}));
}

TEST_F(Network, ByteSourceReadsWhatTheShareHolds) {
    REQUIRE_SAMBA();
    const std::vector<std::uint8_t> local = ReadLocal(SambaRoot() + "/share1/hello32.exe");
    int error = -1;
    const auto source = CSmbByteSource::Open(m_client, "smb://127.0.0.1:4445/share1/hello32.exe", error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(error, 0);
    ASSERT_EQ(source->Size(), local.size());
    EXPECT_EQ(source->Facts().size, local.size());

    std::vector<std::uint8_t> all(local.size());
    EXPECT_EQ(source->ReadAt(0, all), local.size());
    EXPECT_EQ(all, local);
    // A read across the end delivers what is there; past it, nothing.
    std::vector<std::uint8_t> tail(100);
    ASSERT_EQ(source->ReadAt(local.size() - 10, tail), 10u);
    EXPECT_TRUE(std::equal(tail.begin(), tail.begin() + 10, local.end() - 10));
    EXPECT_EQ(source->ReadAt(local.size(), tail), 0u);
    EXPECT_EQ(source->ReadAt(~0ULL, tail), 0u);

    // A name the URL syntax would otherwise decode reaches the right file.
    const std::string escaped = SmbUrl(Folder("share2", "a%20b.txt"), false);
    const auto percent = CSmbByteSource::Open(m_client, escaped, error);
    ASSERT_TRUE(percent) << escaped << ": " << error;
    EXPECT_EQ(percent->Size(), 8u);

    // Only regular files are opened.
    EXPECT_FALSE(CSmbByteSource::Open(m_client, "smb://127.0.0.1:4445/share1/folder", error));
    EXPECT_EQ(error, EISDIR);
    EXPECT_FALSE(CSmbByteSource::Open(m_client, "smb://127.0.0.1:4445/share1/none.exe", error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(CSmbByteSource::Open(m_client, "smb://127.0.0.1:4445/secret/private.txt", error));
    EXPECT_EQ(error, EACCES);
}

TEST_F(Network, WorkgroupsServersAndTheServerSummary) {
    REQUIRE_SAMBA();
    // Without a browse master: the user's own workgroup and the note.
    const NetworkRows domains = m_client.Call([](CSmbSession& session) { return ListDomains(session); });
    EXPECT_EQ(Names(domains.items), (std::vector<std::string>{"QUIDDITYTEST", std::string(kBrowsingUnavailable)}));
    EXPECT_EQ(domains.items[0].type, "(domain)");

    // No browse master is no error; "(Local)" leads the list.
    const NetworkRows servers = m_client.Call([](CSmbSession& session) { return ListServers(session, "QUIDDITYTEST"); });
    EXPECT_EQ(servers.error, 0);
    EXPECT_EQ(Names(servers.items), (std::vector<std::string>{"(Local)"}));

    const ServerSummary summary = m_client.Call([](CSmbSession& session) { return SummarizeServer(session, kServer); });
    EXPECT_EQ(summary.error, 0);
    EXPECT_EQ(summary.shareCount, 3);
    EXPECT_EQ(summary.workgroup, "QUIDDITYTEST");
    EXPECT_EQ(summary.address, "127.0.0.1");
}

TEST(NetworkCommandLine, ListsTypesAndReportsFilesOnShares) {
    REQUIRE_SAMBA();
    int status = -1;
    EXPECT_EQ(Program("--list smb://127.0.0.1:4445", &status),
              "secret\t(share)\tNeeds a password\n"
              "share2\t(share)\tSecond public share\n"
              "share1\t(share)\tFirst public share\n");
    EXPECT_EQ(status, 0);
    // "(Local)" is the default port of 127.0.0.1.
    EXPECT_EQ(Program("--list smb://127.0.0.1/share1/folder/"), "..\t(dir)\t\ninner.txt\t.txt\t1 KB\n");

    const std::string local = quiddity::test::Fixture("pe/hello32.exe");
    const std::string localType = Program("-t " + local);
    EXPECT_EQ(Program("-t smb://127.0.0.1:4445/share1/hello32.exe"),
              "smb://127.0.0.1:4445/share1/hello32.exe" + localType.substr(local.size()));

    // The report reads the same bytes as the local one: byte-identical but
    // for the path line.
    const std::string report = Program("--format=text --no-file-info smb://127.0.0.1:4445/share1/hello32.exe", &status);
    EXPECT_EQ(status, 0);
    std::ifstream in(std::string(QUIDDITY_FIXTURES) + "/../golden/pe/hello32.exe.report");
    const std::string golden{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string path = "Path: smb://127.0.0.1:4445/share1/\n";
    ASSERT_NE(report.find(path), std::string::npos) << report;
    std::string asLocal = report;
    asLocal.replace(asLocal.find(path), path.size(), "Path: FIXTURES/pe/\n");
    EXPECT_EQ(asLocal, golden);
}

TEST(NetworkCommandLine, CredentialsComeFromTheEnvironment) {
    REQUIRE_SAMBA();
    int status = -1;
    const std::string refused = Program("--list smb://127.0.0.1:4445/secret/", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(refused.find("Permission denied"), std::string::npos) << refused;
    // Without a terminal to ask on (setsid), no password is tried.
    Program("--user quser --list smb://127.0.0.1:4445/secret/ </dev/null", &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(RunCommand(std::string("QUIDDITY_SMB_PASSWORD=") + kPassword + " setsid -w " + QUIDDITY_PROGRAM +
                             " --user quser --list smb://127.0.0.1:4445/secret/ 2>&1",
                         &status),
              "..\t(dir)\t\nprivate.txt\t.txt\t1 KB\n");
    EXPECT_EQ(status, 0);

    // A file that is not there fails the run, whatever else was reported.
    const std::string missing = Program("--no-file-info smb://127.0.0.1:4445/share1/hello32.exe "
                                        "smb://127.0.0.1:4445/share1/none.exe",
                                        &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(missing.find("none.exe: No such file or directory"), std::string::npos) << missing;
    EXPECT_NE(missing.find("Type: Executable file PE"), std::string::npos);

    // A closed port answers at once, as a failure.
    EXPECT_NE(Program("--list smb://127.0.0.1:4446", &status).find("Connection refused"), std::string::npos);
    EXPECT_EQ(status, 1);
}

// Run with samba-env.sh --netbios: nmbd serves the workgroup's browse list
// once it has won the election.
TEST(NetBios, WorkgroupsAndServersFromTheBrowseMaster) {
    REQUIRE_SAMBA();
    CSmbClient client;
    NetworkRows domains;
    // The election takes about 20 s; the browse list answers after it.
    for (int attempt = 0; attempt < 60; ++attempt) {
        domains = client.Call([](CSmbSession& session) { return ListDomains(session); });
        if (domains.items.back().name != kBrowsingUnavailable) break;
        ::sleep(1);
    }
    // The user's own workgroup is also the one browsed: listed once.
    ASSERT_EQ(Names(domains.items), (std::vector<std::string>{"QUIDDITYTEST"}));

    const NetworkRows servers = client.Call([](CSmbSession& session) { return ListServers(session, "QUIDDITYTEST"); });
    EXPECT_EQ(servers.error, 0);
    ASSERT_EQ(Names(servers.items), (std::vector<std::string>{"(Local)", "QSERVER"}));
    EXPECT_EQ(servers.items[1].type, "(server)");
    EXPECT_EQ(servers.items[1].size, "Quiddity test server");

    // A server by its NetBIOS name, found by broadcast.
    const NetworkRows shares = client.Call(
        [](CSmbSession& session) { return ListShares(session, {ENetworkLevel::Shares, "QSERVER", {}, {}}); });
    EXPECT_EQ(shares.error, 0);
    EXPECT_EQ(Names(shares.items), (std::vector<std::string>{"secret", "share2", "share1"}));

    // The command line tells the workgroup from a server by its browse list.
    EXPECT_EQ(Program("--list smb://QUIDDITYTEST"), "(Local)\t(server)\t\nQSERVER\t(server)\tQuiddity test server\n");
}
