#include "network/SmbClient.h"

#include <fcntl.h>
#include <libsmbclient.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/TextFormat.h"

namespace quiddity {

namespace {

// Milliseconds the library waits for an answer; connecting waits 10 s
// whatever this says.
constexpr int kAnswerTimeout = 10000;
// A folder or browse list longer than this is cut: far beyond any real
// share, and a hostile server cannot fill the memory.
constexpr std::size_t kMaxEntries = 200000;
// The libsmbclient dirent types.
constexpr unsigned kTypeLink = 9;

ESmbKind KindOf(unsigned type) {
    switch (type) {
        case SMBC_WORKGROUP: return ESmbKind::Workgroup;
        case SMBC_SERVER: return ESmbKind::Server;
        case SMBC_FILE_SHARE: return ESmbKind::DiskShare;
        case SMBC_PRINTER_SHARE: return ESmbKind::PrinterShare;
        case SMBC_COMMS_SHARE: return ESmbKind::CommsShare;
        case SMBC_IPC_SHARE: return ESmbKind::IpcShare;
        case SMBC_DIR: return ESmbKind::Folder;
        case SMBC_FILE: return ESmbKind::File;
        case kTypeLink: return ESmbKind::Link;
        default: return ESmbKind::Unknown;
    }
}

std::string Lowered(std::string text) {
    for (char& c : text) c = LowerAscii(c);
    return text;
}

void CopyInto(char* buffer, int length, const std::string& text) {
    if (length <= 0) return;
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(length - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
}

// The host of "host[:port]": the library asks for credentials by host.
std::string HostOf(const std::string& server) {
    const std::size_t colon = server.rfind(':');
    return colon == std::string::npos ? server : server.substr(0, colon);
}

FileTime TimeFrom(std::int64_t seconds) { return {seconds != 0, seconds}; }

// The DOS attributes as the library maps them into the mode: no write
// bit for read-only, the execute bits for archive, system and hidden.
std::uint32_t AttributesOf(mode_t mode) {
    if (S_ISDIR(mode)) return kAttributeDirectory | ((mode & S_IWUSR) == 0 ? kAttributeReadonly : 0);
    std::uint32_t attributes = 0;
    if ((mode & S_IWUSR) == 0) attributes |= kAttributeReadonly;
    if ((mode & S_IXOTH) != 0) attributes |= kAttributeHidden;
    return attributes != 0 ? attributes : kAttributeNormal;
}

}  // namespace

CSmbSession::CSmbSession() {
    for (SMBCCTX** context : {&m_pBrowse, &m_pShares}) {
        SMBCCTX* made = smbc_new_context();
        if (made == nullptr) {
            m_setUpError = errno != 0 ? errno : ENOMEM;
            return;
        }
        smbc_setDebug(made, 0);
        smbc_setTimeout(made, kAnswerTimeout);
        smbc_setOptionUserData(made, this);
        smbc_setFunctionAuthDataWithContext(made, &CSmbSession::Authenticate);
        smbc_setOptionUseKerberos(made, false);
        smbc_setOptionFallbackAfterKerberos(made, true);
        // Reads the user's ~/.smb/smb.conf, or the system's configuration.
        if (smbc_init_context(made) == nullptr) {
            m_setUpError = errno != 0 ? errno : EINVAL;
            smbc_free_context(made, 1);
            return;
        }
        *context = made;
    }
}

CSmbSession::~CSmbSession() {
    for (SMBCCTX* context : {m_pBrowse, m_pShares})
        if (context != nullptr) smbc_free_context(context, 1);
}

SMBCCTX* CSmbSession::Context(ESmbProtocol protocol) {
    SMBCCTX* context = protocol == ESmbProtocol::Browse ? m_pBrowse : m_pShares;
    if (context == nullptr) return nullptr;
    // The setting is process-wide: each call states the one it needs.
    if (protocol == ESmbProtocol::Browse) smbc_setOptionProtocols(context, "NT1", "NT1");
    else smbc_setOptionProtocols(context, "SMB2_02", "SMB3");
    return context;
}

std::string CSmbSession::Workgroup() const {
    const char* workgroup = m_pShares != nullptr ? smbc_getWorkgroup(m_pShares) : nullptr;
    return workgroup != nullptr ? workgroup : "";
}

void CSmbSession::Authenticate(SMBCCTX* context, const char* server, const char*, char* workgroup, int workgroupLength,
                               char* user, int userLength, char* password, int passwordLength) {
    const auto* session = static_cast<const CSmbSession*>(smbc_getOptionUserData(context));
    auto known = session->m_credentials.find(Lowered(server != nullptr ? server : ""));
    if (known == session->m_credentials.end()) known = session->m_credentials.find({});
    if (known == session->m_credentials.end()) {
        // Anonymous: public shares admit it, the others answer "access denied".
        CopyInto(user, userLength, "");
        CopyInto(password, passwordLength, "");
        return;
    }
    CopyInto(user, userLength, known->second.user);
    CopyInto(password, passwordLength, known->second.password);
    if (!known->second.domain.empty()) CopyInto(workgroup, workgroupLength, known->second.domain);
}

void CSmbSession::SetCredentials(const std::string& server, SmbCredentials credentials) {
    m_credentials[Lowered(HostOf(server))] = std::move(credentials);
}

int CSmbSession::List(const std::string& url, ESmbProtocol protocol, bool withSizes, std::vector<SmbEntry>& entries) {
    entries.clear();
    SMBCCTX* context = Context(protocol);
    if (context == nullptr) return m_setUpError;
    errno = 0;
    SMBCFILE* dir = smbc_getFunctionOpendir(context)(context, url.c_str());
    if (dir == nullptr) return errno != 0 ? errno : EIO;
    while (entries.size() < kMaxEntries) {
        SmbEntry entry;
        if (withSizes) {
            struct stat st {};
            const libsmb_file_info* info = smbc_getFunctionReaddirPlus2(context)(context, dir, &st);
            if (info == nullptr) break;
            entry.name = info->name != nullptr ? info->name : "";
            entry.kind = S_ISDIR(st.st_mode) ? ESmbKind::Folder : ESmbKind::File;
            entry.size = info->size;
        } else {
            const smbc_dirent* dirent = smbc_getFunctionReaddir(context)(context, dir);
            if (dirent == nullptr) break;
            entry.name = dirent->name;
            if (dirent->comment != nullptr) entry.comment = dirent->comment;
            entry.kind = KindOf(dirent->smbc_type);
        }
        entries.push_back(std::move(entry));
    }
    smbc_getFunctionClosedir(context)(context, dir);
    return 0;
}

int CSmbSession::Stat(const std::string& url, FileSystemFacts& facts) {
    facts = {};
    SMBCCTX* context = Context(ESmbProtocol::Shares);
    if (context == nullptr) return m_setUpError;
    struct stat st {};
    errno = 0;
    if (smbc_getFunctionStat(context)(context, url.c_str(), &st) < 0) return errno != 0 ? errno : EIO;
    facts.found = true;
    facts.size = static_cast<std::uint64_t>(st.st_size);
    facts.allocated = static_cast<std::uint64_t>(st.st_blocks) * 512;
    facts.accessed = TimeFrom(st.st_atime);
    facts.written = TimeFrom(st.st_mtime);
    facts.volumeSerial = st.st_dev;
    facts.fileIndex = st.st_ino;
    facts.hardLinks = static_cast<std::uint32_t>(st.st_nlink);
    facts.attributes = AttributesOf(st.st_mode);
    return S_ISREG(st.st_mode) || S_ISDIR(st.st_mode) ? 0 : EINVAL;
}

int CSmbSession::Open(const std::string& url, SMBCFILE*& file, FileSystemFacts& facts) {
    file = nullptr;
    // Looked at before it is opened: only a regular file is read.
    if (const int error = Stat(url, facts); error != 0) return error;
    if ((facts.attributes & kAttributeDirectory) != 0) return EISDIR;
    SMBCCTX* context = Context(ESmbProtocol::Shares);
    errno = 0;
    file = smbc_getFunctionOpen(context)(context, url.c_str(), O_RDONLY, 0);
    if (file == nullptr) return errno != 0 ? errno : EIO;
    // What was opened is what the report describes.
    struct stat st {};
    if (smbc_getFunctionFstat(context)(context, file, &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            Close(file);
            file = nullptr;
            return EINVAL;
        }
        facts.size = static_cast<std::uint64_t>(st.st_size);
    }
    return 0;
}

std::size_t CSmbSession::ReadAt(SMBCFILE* file, std::uint64_t offset, std::span<std::uint8_t> buffer) {
    SMBCCTX* context = Context(ESmbProtocol::Shares);
    if (context == nullptr || file == nullptr || buffer.empty()) return 0;
    if (smbc_getFunctionLseek(context)(context, file, static_cast<off_t>(offset), SEEK_SET) < 0) return 0;
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t count = smbc_getFunctionRead(context)(context, file, buffer.data() + done, buffer.size() - done);
        if (count <= 0) break;  // the end, or a failure: what arrived counts
        done += static_cast<std::size_t>(count);
    }
    return done;
}

void CSmbSession::Close(SMBCFILE* file) {
    if (file != nullptr && m_pShares != nullptr) smbc_getFunctionClose(m_pShares)(m_pShares, file);
}

CSmbClient::CSmbClient() : m_worker([this] { Work(); }) {}

CSmbClient::~CSmbClient() {
    {
        std::lock_guard lock(m_mutex);
        m_bStopping = true;
        m_jobs.clear();
    }
    m_wake.notify_one();
    m_worker.join();
}

void CSmbClient::Post(FJob job) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void CSmbClient::Work() {
    m_pSession = std::make_unique<CSmbSession>();
    for (;;) {
        FJob job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_bStopping || !m_jobs.empty(); });
            if (m_bStopping) break;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job(*m_pSession);
    }
    m_pSession.reset();
}

std::unique_ptr<CSmbByteSource> CSmbByteSource::Open(CSmbClient& client, const std::string& url, int& error) {
    FileSystemFacts facts;
    SMBCFILE* file = nullptr;
    error = client.Call([&](CSmbSession& session) { return session.Open(url, file, facts); });
    if (error != 0) return nullptr;
    return std::unique_ptr<CSmbByteSource>(new CSmbByteSource(client, file, std::move(facts)));
}

CSmbByteSource::~CSmbByteSource() {
    m_client.Call([this](CSmbSession& session) { session.Close(m_pFile); });
}

std::size_t CSmbByteSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const {
    if (offset >= m_facts.size) return 0;
    // Never asks for more than the file holds from there.
    buffer = buffer.first(static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), m_facts.size - offset)));
    return m_client.Call([&](CSmbSession& session) { return session.ReadAt(m_pFile, offset, buffer); });
}

}  // namespace quiddity
