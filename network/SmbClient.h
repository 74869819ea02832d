// The SMB client: workgroups, servers, shares and files on shares, through
// Samba's client library (libsmbclient).  One worker thread owns the
// library's contexts and runs every call: the library's protocol setting is
// process-wide, and a context must not be shared between threads.  Nothing
// here ever writes to a share.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "core/ByteSource.h"
#include "formats/FileSystemFacts.h"

struct _SMBCCTX;
struct _SMBCFILE;

namespace quiddity {

// What a directory entry names, as the library types it.
enum class ESmbKind { Workgroup, Server, DiskShare, PrinterShare, CommsShare, IpcShare, Folder, File, Link, Unknown };

struct SmbEntry {
    std::string name;
    std::string comment;  // of a workgroup, server or share
    ESmbKind kind = ESmbKind::Unknown;
    std::uint64_t size = 0;  // of a file, when the listing asked for sizes
};

// What a user typed into the credentials dialog or gave the command line.
// Kept in memory only, for the rest of the run.
struct SmbCredentials {
    std::string user;
    std::string password;
    std::string domain;
};

// Which of the two contexts a call uses: workgroup and server browsing
// exists only in the old protocol; shares and files use SMB2 and SMB3.
enum class ESmbProtocol { Browse, Shares };

// The library's contexts and the calls that use them.  Lives on the
// worker thread of a CSmbClient and is only ever used there.
class CSmbSession {
public:
    CSmbSession();
    ~CSmbSession();
    CSmbSession(const CSmbSession&) = delete;
    CSmbSession& operator=(const CSmbSession&) = delete;

    // The errno value when the library could not be set up, else 0.
    int SetUpError() const { return m_setUpError; }
    // The user's own workgroup, from the client configuration.
    std::string Workgroup() const;

    // The entries of url (smb://, smb://WORKGROUP, smb://SERVER or a
    // folder on a share); files get their sizes when withSizes is set.
    // Returns 0 or the errno value of the failure.
    int List(const std::string& url, ESmbProtocol protocol, bool withSizes, std::vector<SmbEntry>& entries);

    // What the share says about the item at url.
    int Stat(const std::string& url, FileSystemFacts& facts);

    // Opens a regular file read-only; anything else fails with EINVAL.
    int Open(const std::string& url, _SMBCFILE*& file, FileSystemFacts& facts);
    std::size_t ReadAt(_SMBCFILE* file, std::uint64_t offset, std::span<std::uint8_t> buffer);
    void Close(_SMBCFILE* file);

    // Credentials for a server (a port after its name is ignored), or for
    // every server without credentials of its own when server is empty;
    // the others are tried anonymously.
    void SetCredentials(const std::string& server, SmbCredentials credentials);

private:
    _SMBCCTX* Context(ESmbProtocol protocol);
    static void Authenticate(_SMBCCTX* context, const char* server, const char* share, char* workgroup,
                             int workgroupLength, char* user, int userLength, char* password, int passwordLength);

    _SMBCCTX* m_pBrowse = nullptr;
    _SMBCCTX* m_pShares = nullptr;
    int m_setUpError = 0;
    std::map<std::string, SmbCredentials> m_credentials;  // by lower-case server name
};

class CSmbClient {
public:
    using FJob = std::function<void(CSmbSession&)>;

    CSmbClient();
    // Drops the jobs not yet started and waits for the running one.
    ~CSmbClient();
    CSmbClient(const CSmbClient&) = delete;
    CSmbClient& operator=(const CSmbClient&) = delete;

    // Queues a job for the worker; never blocks.
    void Post(FJob job);

    // Runs a job on the worker and waits for its result.
    template <typename F>
    std::invoke_result_t<F&, CSmbSession&> Call(F job) {
        using R = std::invoke_result_t<F&, CSmbSession&>;
        if (std::this_thread::get_id() == m_worker.get_id()) return job(*m_pSession);
        std::packaged_task<R(CSmbSession&)> task(std::move(job));
        std::future<R> result = task.get_future();
        Post([&task](CSmbSession& session) { task(session); });
        return result.get();
    }

private:
    void Work();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<FJob> m_jobs;
    bool m_bStopping = false;
    std::unique_ptr<CSmbSession> m_pSession;  // made and used on the worker
    std::thread m_worker;
};

// A file on a share as the source of a report: positioned reads through
// the client's worker.  Opened read-only, and only when it is a regular file.
class CSmbByteSource : public IByteSource {
public:
    // Null on failure, with the errno value in error.
    static std::unique_ptr<CSmbByteSource> Open(CSmbClient& client, const std::string& url, int& error);
    ~CSmbByteSource() override;

    std::uint64_t Size() const override { return m_facts.size; }
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const override;
    // Size, times and attributes as the share reports them.
    const FileSystemFacts& Facts() const { return m_facts; }

private:
    CSmbByteSource(CSmbClient& client, _SMBCFILE* file, FileSystemFacts facts)
        : m_client(client), m_pFile(file), m_facts(std::move(facts)) {}

    CSmbClient& m_client;
    _SMBCFILE* m_pFile;
    FileSystemFacts m_facts;
};

}  // namespace quiddity
