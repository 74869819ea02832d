// The report's guide, docs/report.md, against the program.  Each example
// block follows a marker naming a fixture and the part of its report shown:
//   <!-- example fixture="pe/hello32.exe" section="Checksum" -->
// with optional from="PREFIX" (start at the first line beginning so),
// lines="N" (keep N lines) and link="NAME" (report a symbolic link NAME to
// the fixture).  A changed report text fails here until the guide is
// regenerated: tools/update-report-examples.sh runs this test with
// QUIDDITY_UPDATE_GUIDE=1, which rewrites the blocks instead.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
using MarkerKeys = std::map<std::string, std::string>;
using Lines = std::vector<std::string>;

const std::string kGuide = fs::path(QUIDDITY_FIXTURES).parent_path().parent_path() / "docs/report.md";
// The scene's folder shows as a home folder, so the guide names no folder of
// the machine that made it.
constexpr std::string_view kShownHome = "/home/user/";
constexpr std::time_t kSceneTime = 1746354000;  // 04.05.2025 10:20 UTC
// No scene fixes a birth time (the moment the scene is made), a serial
// (device and inode), the owner and group (whoever runs the tests) or the
// mode (the checkout's umask): their lines are compared by label only.
constexpr std::string_view kMachineLabels[] = {"Created.........: ", "Serial..........: ", "Mode............: ",
                                               "Owner...........: ", "Group...........: "};
constexpr std::string_view kFence = "```";

struct GuideExample {
    MarkerKeys keys;
    std::size_t marker = 0;  // line numbers from 0
    std::size_t first = 0;
    std::size_t count = 0;
};

// key="value" pairs.
MarkerKeys ParseKeys(std::string_view text) {
    MarkerKeys keys;
    for (std::size_t open; (open = text.find("=\"")) != std::string_view::npos;) {
        const std::size_t close = text.find('"', open + 2);
        if (close == std::string_view::npos) break;
        const std::size_t start = text.rfind(' ', open) + 1;  // npos + 1 is 0
        keys[std::string(text.substr(start, open - start))] = std::string(text.substr(open + 2, close - open - 2));
        text.remove_prefix(close + 1);
    }
    return keys;
}

// The fixture copied into a private folder "Downloads" as a browser saves a
// download: with its origin in an extended attribute and fixed times.  It
// sits beside the program: a build folder lies on a disk, where a memory
// file system would add its own attribute.
class CScene {
public:
    explicit CScene(const MarkerKeys& keys) {
        std::string pattern = fs::path(QUIDDITY_PROGRAM).parent_path() / "guide-scene-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) return;
        m_root = pattern;
        const std::string name = fs::path(keys.at("fixture")).filename();
        const fs::path folder = fs::path(m_root) / "Downloads";
        fs::create_directory(folder);
        m_item = folder / name;
        fs::copy_file(quiddity::test::Fixture(keys.at("fixture")), m_item);
        const std::string origin = "https://example.org/downloads/" + name;
        ::setxattr(m_item.c_str(), "user.xdg.origin.url", origin.data(), origin.size(), 0);
        const timespec times[2] = {{kSceneTime, 0}, {kSceneTime, 0}};
        ::utimensat(AT_FDCWD, m_item.c_str(), times, 0);
        if (keys.contains("link")) {
            m_item = folder / keys.at("link");
            fs::create_symlink(name, m_item);
            ::utimensat(AT_FDCWD, m_item.c_str(), times, AT_SYMLINK_NOFOLLOW);
        }
    }
    ~CScene() {
        std::error_code ignored;
        if (!m_root.empty()) fs::remove_all(m_root, ignored);
    }
    CScene(const CScene&) = delete;
    CScene& operator=(const CScene&) = delete;

    // The terminal form: its headings are bold red, the plain text is not.
    std::string Report() const {
        std::string out = quiddity::test::RunCommand(std::string(QUIDDITY_PROGRAM) + " --format=ansi '" + m_item + "'");
        const std::string root = m_root + "/";
        for (std::size_t at = 0; (at = out.find(root, at)) != std::string::npos; at += kShownHome.size())
            out.replace(at, root.size(), kShownHome);
        return out;
    }

private:
    std::string m_root;
    std::string m_item;
};

// The report's lines without styles; `headings` gets each line written
// wholly in the heading style.
Lines PlainLines(const std::string& ansi, std::set<std::size_t>& headings) {
    Lines lines(1);
    bool inHeading = false;
    bool allHeading = true;
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        if (ansi[i] == '\x1b') {
            const std::size_t m = std::min(ansi.find('m', i), ansi.size());
            inHeading = ansi.compare(i, m - i, "\x1b[1;31") == 0;
            i = m;
        } else if (ansi[i] == '\n') {
            if (allHeading && !lines.back().empty()) headings.insert(lines.size() - 1);
            lines.emplace_back();
            allHeading = true;
        } else {
            lines.back() += ansi[i];
            allHeading = allHeading && inHeading;
        }
    }
    return lines;
}

// The lines a marker asks for; `fault` says what it asks that is not there.
Lines Excerpt(const MarkerKeys& keys, const Lines& report, const std::set<std::size_t>& headings, std::string& fault) {
    std::size_t begin = 0;
    std::size_t end = report.size();
    if (keys.contains("section")) {
        const auto heading = std::find_if(headings.begin(), headings.end(),
                                          [&](std::size_t k) { return report[k] == keys.at("section"); });
        if (heading == headings.end()) fault = "the report has no section \"" + keys.at("section") + "\"";
        begin = heading == headings.end() ? end : *heading;
        const auto next = headings.upper_bound(begin);
        end = next == headings.end() ? end : *next;
    }
    Lines lines(report.begin() + static_cast<std::ptrdiff_t>(begin), report.begin() + static_cast<std::ptrdiff_t>(end));
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    while (!lines.empty() && lines.front().empty()) lines.erase(lines.begin());
    if (keys.contains("from")) {
        const auto start = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(keys.at("from")); });
        if (start == lines.end()) fault = "no line begins with \"" + keys.at("from") + "\"";
        lines.erase(lines.begin(), start);
    }
    if (keys.contains("lines")) {
        const std::size_t n = std::strtoul(keys.at("lines").c_str(), nullptr, 10);
        if (n == 0 || n > lines.size()) fault = "the excerpt has fewer than " + keys.at("lines") + " lines";
        else lines.resize(n);
    }
    return lines;
}

Lines WithoutMachineValues(Lines lines) {
    for (std::string& line : lines)
        for (const std::string_view label : kMachineLabels)
            if (line.starts_with(label)) line.resize(label.size());
    return lines;
}

std::string Joined(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST(ReportGuide, EveryExampleIsTheProgramsOutput) {
    // The executable's creation date is in local time; the shell types are
    // in the locale's language.
    ::setenv("TZ", "UTC", 1);
    ::setenv("LC_ALL", "C", 1);
    Lines guide;
    std::ifstream in(kGuide);
    for (std::string line; std::getline(in, line);) guide.push_back(line);
    ASSERT_FALSE(guide.empty()) << kGuide;

    std::vector<GuideExample> examples;
    for (std::size_t i = 0; i < guide.size(); ++i) {
        const std::string where = "docs/report.md:" + std::to_string(i + 1);
        const auto closing = [&](std::size_t k) {
            while (k < guide.size() && guide[k] != kFence) ++k;
            return k;
        };
        if (guide[i].starts_with("<!-- example ")) {
            GuideExample example{ParseKeys(guide[i]), i, i + 2, 0};
            if (i + 1 >= guide.size() || guide[i + 1] != kFence || !example.keys.contains("fixture")) {
                ADD_FAILURE() << where << ": a marker needs fixture=\"...\" and a ``` block below it";
                continue;
            }
            i = closing(example.first);
            example.count = i - example.first;
            examples.push_back(example);
        } else if (guide[i].starts_with(kFence)) {
            // Commands to type are marked as such; every other block is an example.
            EXPECT_EQ(guide[i], "```sh") << where << ": a block without an example marker";
            i = closing(i + 1);
        }
    }

    const bool update = std::getenv("QUIDDITY_UPDATE_GUIDE") != nullptr;
    std::set<std::string> sections;
    Lines updated;
    std::size_t copied = 0;  // guide lines already in `updated`
    for (const GuideExample& example : examples) {
        std::set<std::size_t> headings;
        const Lines report = PlainLines(CScene(example.keys).Report(), headings);
        for (const std::size_t k : headings) sections.insert(report[k]);
        std::string fault;
        const Lines actual = Excerpt(example.keys, report, headings, fault);
        const std::string where = "docs/report.md:" + std::to_string(example.marker + 1);
        EXPECT_EQ(fault, "") << where;
        const auto first = guide.begin() + static_cast<std::ptrdiff_t>(example.first);
        const Lines shown(first, first + static_cast<std::ptrdiff_t>(example.count));
        const bool same = WithoutMachineValues(shown) == WithoutMachineValues(actual);
        EXPECT_TRUE(same || update) << where << " (" << example.keys.at("fixture")
                                    << ") is not what the program writes; tools/update-report-examples.sh mends it.\n"
                                    << "guide:\n" << Joined(shown) << "program:\n" << Joined(actual);
        updated.insert(updated.end(), guide.begin() + static_cast<std::ptrdiff_t>(copied), first);
        // An unchanged block keeps its machine values: the diff shows real changes only.
        const Lines& block = same ? shown : actual;
        updated.insert(updated.end(), block.begin(), block.end());
        copied = example.first + example.count;
    }
    // A section that the guide's own fixtures show needs its part.
    for (const std::string& section : sections)
        EXPECT_TRUE(std::find(guide.begin(), guide.end(), "## " + section) != guide.end())
            << "docs/report.md has no part \"## " << section << "\"";

    if (update) {
        updated.insert(updated.end(), guide.begin() + static_cast<std::ptrdiff_t>(copied), guide.end());
        std::ofstream(kGuide, std::ios::trunc) << Joined(updated);
    }
}

}  // namespace
