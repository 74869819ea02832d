// Helpers shared by the tests: a pane that records every run, a private
// temporary folder, and byte builders.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/ReportPane.h"

namespace quiddity::test {

struct CRun {
    std::string text;
    EStyle style;
};

class CRecordingPane : public IReportPane {
public:
    void BeginReport() override { ++begun; runs.clear(); }
    void AppendStyledText(std::string_view text, const CTextStyle& style) override {
        runs.push_back({std::string(text), style.id});
    }
    void EndReport() override { ++ended; }

    std::string Text() const {
        std::string all;
        for (const CRun& run : runs) all += run.text;
        return all;
    }
    // The text of every run in the given style, glued.
    std::string TextIn(EStyle style) const {
        std::string all;
        for (const CRun& run : runs)
            if (run.style == style) all += run.text;
        return all;
    }

    std::vector<CRun> runs;
    int begun = 0;
    int ended = 0;
};

// A private folder under $TMPDIR, removed with everything in it.
class CTempDir {
public:
    CTempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/quiddity-test-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) != nullptr) m_path = buffer.data();
    }
    ~CTempDir() {
        if (!m_path.empty()) std::system(("rm -rf '" + m_path + "'").c_str());
    }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    // The folder, ending in "/".
    std::string Folder() const { return m_path + "/"; }
    std::string Path(std::string_view name) const { return Folder() + std::string(name); }

    std::string Write(std::string_view name, std::string_view bytes) const {
        const std::string path = Path(name);
        if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return path;
    }
    std::string Write(std::string_view name, const std::vector<std::uint8_t>& bytes) const {
        return Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

private:
    std::string m_path;
};

inline void PutLE16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    if (b.size() < at + 2) b.resize(at + 2);
    b[at] = v & 0xFF;
    b[at + 1] = v >> 8;
}
inline void PutLE32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    PutLE16(b, at, v & 0xFFFF);
    PutLE16(b, at + 2, v >> 16);
}
inline void PutBE16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    if (b.size() < at + 2) b.resize(at + 2);
    b[at] = v >> 8;
    b[at + 1] = v & 0xFF;
}
inline void PutBE32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    PutBE16(b, at, v >> 16);
    PutBE16(b, at + 2, v & 0xFFFF);
}
inline void PutText(std::vector<std::uint8_t>& b, std::size_t at, std::string_view text) {
    if (b.size() < at + text.size()) b.resize(at + text.size());
    for (std::size_t i = 0; i < text.size(); ++i) b[at + i] = static_cast<std::uint8_t>(text[i]);
}

inline std::string Fixture(std::string_view relative) { return std::string(QUIDDITY_FIXTURES) + "/" + std::string(relative); }

// The bytes of a file, or none when it cannot be read.
inline std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::uint8_t> ReadFixture(std::string_view relative) { return ReadWholeFile(Fixture(relative)); }

// Runs a shell command line and returns its standard output; *status gets
// the exit status.
inline std::string RunCommand(const std::string& command, int* status = nullptr) {
    std::string out;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
        const int raw = ::pclose(pipe);
        if (status) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    return out;
}

}  // namespace quiddity::test
