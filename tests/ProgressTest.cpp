// The progress line: quiet for the first second, redrawn a few times a
// second at most, erased at the end; and standard input read up to a cap.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <thread>

#include "cli/BatchText.h"
#include "cli/Progress.h"

using namespace quiddity;
using namespace std::chrono_literals;

namespace {

std::string Written(std::FILE* file) {
    std::fflush(file);
    std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    return text;
}

}  // namespace

TEST(Progress, ShowsAfterASecondAndErases) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        CProgress progress(true, out, 80);
        const auto start = CProgress::Clock::now();
        progress.Done("/a/", start + 500ms);  // within the first second: nothing
        progress.Done("/a/", start + 2s);
        progress.Done("/b/", start + 2s + 100ms);  // too soon after the last drawing
        progress.Done("/c/", start + 3s);
    }
    const std::string text = Written(out);
    std::fclose(out);
    ASSERT_EQ(text.rfind("\r2 files, 1 files/s, /a/\x1b[K\r4 files, 1 files/s, /c/\x1b[K", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 4), "\r\x1b[K");  // erased at the end

    std::FILE* quiet = std::tmpfile();
    ASSERT_NE(quiet, nullptr);
    {
        CProgress disabled(false, quiet, 80);
        disabled.Done("/a/", CProgress::Clock::now() + 5s);
    }
    EXPECT_EQ(Written(quiet), "");
    std::fclose(quiet);
}

TEST(Progress, LineFitsTheWidth) {
    EXPECT_EQ(CProgress::LineText(1500, 3.0, "/home/me/", 80), "1500 files, 500 files/s, /home/me/");
    const std::string cut = CProgress::LineText(7, 1.0, "/a/very/long/folder/name/", 30);
    EXPECT_EQ(cut, "7 files, 7 files/s, .../name/");  // the end of the folder, one column to spare
    EXPECT_EQ(CProgress::LineText(7, 1.0, "/x\n", 40), "7 files, 7 files/s, /x\\012");
}

TEST(StandardInput, ReadWholeUpToTheCap) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::thread writer([&] {
        const std::string bytes(100000, 'q');  // more than one read
        (void)!::write(fds[1], bytes.data(), bytes.size());
        ::close(fds[1]);
    });
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(ReadWholeInput(fds[0], 100000, bytes), EReadInput::Ok);  // exactly the cap is taken
    writer.join();
    ::close(fds[0]);
    EXPECT_EQ(bytes.size(), 100000u);

    ASSERT_EQ(::pipe(fds), 0);
    std::thread longer([&] {
        const std::string more(100001, 'q');
        (void)!::write(fds[1], more.data(), more.size());
        ::close(fds[1]);
    });
    EXPECT_EQ(ReadWholeInput(fds[0], 100000, bytes), EReadInput::TooLarge);
    ::close(fds[0]);  // the reader took every byte, the cap and one more
    longer.join();
    EXPECT_TRUE(bytes.empty());

    EXPECT_EQ(ReadWholeInput(-1, 10, bytes), EReadInput::Failed);
}

TEST(PathLists, NulSeparatedNamesKeepNewlines) {
    std::vector<std::string> paths;
    CPathListParser parser(paths, '\0');
    EXPECT_TRUE(parser.Add(std::string_view("a\nb\0\0c", 6)));  // an empty name is skipped
    parser.Finish();
    EXPECT_EQ(paths, (std::vector<std::string>{"a\nb", "c"}));
}
