// The ways a network location is written, without any network: parsing,
// smb:// URLs as the client library takes them apart, UNC folders.
#include <gtest/gtest.h>

#include "network/NetworkLocations.h"

using namespace quiddity;

namespace {

NetworkLocation Parsed(std::string_view text, ENetworkLevel nameLevel = ENetworkLevel::Servers) {
    NetworkLocation location;
    EXPECT_TRUE(ParseNetworkLocation(text, nameLevel, location)) << text;
    return location;
}

}  // namespace

TEST(NetworkLocations, LevelsOfWhatUsersType) {
    EXPECT_EQ(Parsed("network").level, ENetworkLevel::Domains);
    EXPECT_EQ(Parsed("smb://").level, ENetworkLevel::Domains);
    // A bare name is what the caller says; an address or a port is a server.
    EXPECT_EQ(Parsed("smb://WORKGROUP").level, ENetworkLevel::Servers);
    EXPECT_EQ(Parsed("SMB://box", ENetworkLevel::Shares).level, ENetworkLevel::Shares);
    EXPECT_EQ(Parsed("smb://127.0.0.1").level, ENetworkLevel::Shares);
    const NetworkLocation withPort = Parsed("smb://box:4445/");
    EXPECT_EQ(withPort.level, ENetworkLevel::Shares);
    EXPECT_EQ(withPort.server, "box:4445");

    const NetworkLocation url = Parsed("smb://box/share//a/b/");
    const NetworkLocation unc = Parsed("\\\\box\\share\\a\\b\\");
    for (const NetworkLocation& folder : {url, unc}) {
        EXPECT_EQ(folder.level, ENetworkLevel::Folder);
        EXPECT_EQ(folder.server, "box");
        EXPECT_EQ(folder.share, "share");
        EXPECT_EQ(folder.path, "a/b");
    }
    NetworkLocation local;
    EXPECT_FALSE(ParseNetworkLocation("/tmp/smb://x", ENetworkLevel::Servers, local));
    EXPECT_FALSE(ParseNetworkLocation("\\single", ENetworkLevel::Servers, local));
}

TEST(NetworkLocations, UrlsKeepEveryNameWhole) {
    // The library decodes %XX and starts its options at "?": names holding
    // either must reach the server unchanged.
    const NetworkLocation file{ENetworkLevel::Folder, "box:4445", "my share", "100%/why?.txt"};
    EXPECT_EQ(SmbUrl(file, false), "smb://box:4445/my share/100%25/why%3F.txt");
    EXPECT_EQ(SmbUrl({ENetworkLevel::Folder, "box", "share", ""}, true), "smb://box/share/");
    EXPECT_EQ(SmbUrl({}, false), "smb://");

    // The UNC form of a folder parses back to the same place.
    const std::string unc = UncFolder(file);
    EXPECT_EQ(unc, "\\\\box:4445\\my share\\100%\\why?.txt\\");
    const NetworkLocation back = Parsed(unc);
    EXPECT_EQ(back.server, file.server);
    EXPECT_EQ(back.share, file.share);
    EXPECT_EQ(back.path, file.path);
}

TEST(NetworkLocations, LocalServerAndNotes) {
    EXPECT_EQ(ServerAddress("(Local)"), "127.0.0.1");
    EXPECT_EQ(ServerAddress("(LOCAL)"), "127.0.0.1");
    EXPECT_EQ(ServerAddress("QSERVER"), "QSERVER");

    EXPECT_TRUE(IsNoteItem({std::string(kNoFilesFound), {}, {}}));
    EXPECT_TRUE(IsNoteItem({std::string(kNoAnswer), {}, {}}));
    // A file may be named like a note; its Type tells it apart.
    EXPECT_FALSE(IsNoteItem(FileItem(kSearching, 10)));
    EXPECT_FALSE(IsNoteItem({"QUIDDITYTEST", std::string(kTypeDomain), {}}));
}
