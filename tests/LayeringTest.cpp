// The folders form one order, each including only from the folders below
// it: core <- formats, executable <- recognizer <- report, network <- cli,
// window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::map<std::string, int> kLevels{
    {"core", 0}, {"formats", 1}, {"executable", 1}, {"recognizer", 2}, {"report", 3}, {"network", 3}, {"cli", 4}, {"window", 4},
};

int LevelOf(const std::string& folder) {
    const auto found = kLevels.find(folder);
    return found == kLevels.end() ? -1 : found->second;
}

}  // namespace

TEST(Layering, NoFolderIncludesFromAFolderAboveOrBesideIt) {
    const fs::path root = fs::path(QUIDDITY_FIXTURES).parent_path().parent_path();
    std::size_t scanned = 0;
    for (const auto& [folder, level] : kLevels) {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".cpp" && extension != ".h") continue;
            if (entry.path().string().find("/tests/") != std::string::npos) continue;  // window/tests/
            ++scanned;
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                constexpr std::string_view kInclude = "#include \"";
                if (line.rfind(kInclude, 0) != 0) continue;
                const std::size_t slash = line.find('/', kInclude.size());
                if (slash == std::string::npos) continue;
                const std::string used = line.substr(kInclude.size(), slash - kInclude.size());
                const int usedLevel = LevelOf(used);
                if (usedLevel < 0) continue;  // a folder of a library, not one of ours
                EXPECT_TRUE(used == folder || usedLevel < level)
                    << fs::relative(entry.path(), root).string() << ":" << number << " includes " << used << "/";
            }
        }
    }
    EXPECT_GT(scanned, 50u);
}
