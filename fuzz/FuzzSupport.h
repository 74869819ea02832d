// Shared by the fuzz targets: the analyzers reopen the file by its path, so
// every input is first written to one file in a private folder under
// $TMPDIR (or /tmp), made once per process.  libFuzzer ends with _Exit, so
// nothing here can remove the folder: fuzz/run-fuzzers.sh points TMPDIR at
// a folder of its own and removes that.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/InfoReport.h"
#include "core/TextPanes.h"

namespace quiddity::fuzz {

class CFuzzInputFile {
public:
    static constexpr const char* kName = "input";

    static CFuzzInputFile& Instance() {
        static CFuzzInputFile file;
        return file;
    }

    // Replaces the file's bytes with the input; returns its full path.
    const std::string& Write(const std::uint8_t* data, std::size_t size) {
        const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) std::abort();  // without the file every run would test nothing
        std::size_t done = 0;
        while (done < size) {
            const ssize_t wrote = ::write(fd, data + done, size - done);
            if (wrote <= 0) std::abort();
            done += static_cast<std::size_t>(wrote);
        }
        ::close(fd);
        return m_path;
    }

    // The folder, ending in "/", and the file's name in it.
    const std::string& Folder() const { return m_folder; }
    std::string Name() const { return kName; }

private:
    CFuzzInputFile() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quiddity-fuzz-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr) std::abort();
        m_folder = std::string(buffer.data()) + "/";
        m_path = m_folder + kName;
    }

    std::string m_folder;
    std::string m_path;
};

// A pane that converts each piece as every text pane does, then forgets it.
class CDiscardingPane : public CPlainTextPane {
public:
    void EndReport() override { Clear(); }
};

// Writes the input to the file and hands an inspector of it, whose pane
// discards, and the file's full path to run: the shape of a harness for one
// analyzer.
template <typename Run>
void InspectInput(const std::uint8_t* data, std::size_t size, Run run) {
    CFuzzInputFile& file = CFuzzInputFile::Instance();
    const std::string& path = file.Write(data, size);
    static CDiscardingPane pane;
    CFileInspector inspector(file.Name(), file.Folder(), pane, InitTextStyles(), CReportSwitches{});
    pane.BeginReport();
    run(inspector, path);
    pane.EndReport();
}

}  // namespace quiddity::fuzz
