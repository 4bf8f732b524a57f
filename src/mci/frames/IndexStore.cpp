#include "mci/frames/IndexStore.h"

#include "mci/frames/ByteFields.h"
#include "mci/frames/MibSetting.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace mci {
namespace {

namespace fs = std::filesystem;

constexpr char kMagic[8] = {'K', 'E', 'L', 'D', '3', '2', 'I', 'X'};
constexpr int64_t kMiB = 1024 * 1024;
constexpr const char* kSuffix = ".kidx";
// A key's path longer than this is not one a file system gives.
constexpr uint32_t kMaxPath = 64 * 1024;

std::string header(const IndexKey& key, const std::string& payload)
{
    std::string h(kMagic, sizeof kMagic);
    byteFields::putFixed(h, IndexStore::kFormatVersion, 4);
    byteFields::putFixed(h, uint32_t(key.path.size()), 4);
    h += key.path;
    byteFields::putFixed(h, uint64_t(key.size), 8);
    byteFields::putFixed(h, uint64_t(key.modifiedNs), 8);
    byteFields::putFixed(h, key.head, 8);
    byteFields::putFixed(h, key.tail, 8);
    byteFields::putFixed(h, payload.size(), 8);
    byteFields::putFixed(h, IndexStore::digest(reinterpret_cast<const uint8_t*>(payload.data()), payload.size()), 8);
    return h;
}

bool readFile(const std::string& path, std::string& into)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        into.resize(size_t(st.st_size));
        size_t done = 0;
        while (ok && done < into.size()) {
            const ssize_t n = ::read(fd, into.data() + done, into.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0;
            done += n > 0 ? size_t(n) : 0;
        }
    }
    ::close(fd);
    return ok;
}

bool writeFile(const std::string& path, const std::string& a, const std::string& b)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = true;
    for (const std::string* part : {&a, &b}) {
        size_t done = 0;
        while (ok && done < part->size()) {
            const ssize_t n = ::write(fd, part->data() + done, part->size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0;
            done += n > 0 ? size_t(n) : 0;
        }
    }
    ok = ::close(fd) == 0 && ok;
    return ok;
}

std::string folderOfEnvironment()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && *cache == '/')
        return std::string(cache) + "/KELD32";
    const char* home = std::getenv("HOME");
    if (home && *home == '/')
        return std::string(home) + "/.cache/KELD32";
    return {};
}

} // namespace

uint64_t IndexStore::digest(const uint8_t* data, size_t size, uint64_t seed)
{
    uint64_t h = seed;
    for (size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 1099511628211ull;
    }
    return h;
}

IndexKey IndexKey::of(const std::string& canonicalPath, int64_t size, int64_t modifiedNs, const Reader& read)
{
    IndexKey key {canonicalPath, size, modifiedNs, 0, 0};
    std::vector<uint8_t> buffer(size_t(std::min<int64_t>(std::max<int64_t>(size, 0), kMiB)));
    const auto digestAt = [&](int64_t offset) {
        const int64_t got = buffer.empty() ? 0 : read(offset, buffer.data(), int64_t(buffer.size()));
        return got < 0 ? 0 : IndexStore::digest(buffer.data(), size_t(got), uint64_t(got) + 1);
    };
    key.head = digestAt(0);
    key.tail = digestAt(std::max<int64_t>(size - kMiB, 0));
    return key;
}

IndexStore::IndexStore()
    : IndexStore(folderOfEnvironment(), mibSetting("KELD32_INDEX_CACHE_MIB", 0, 1024 * 1024, kDefaultBoundMiB))
{
}

IndexStore::IndexStore(std::string folder, int64_t boundBytes) : folder_(std::move(folder)), bound_(boundBytes) {}

std::string IndexStore::fileFor(const IndexKey& key) const
{
    char name[32];
    std::snprintf(name, sizeof name, "%016llx",
                  static_cast<unsigned long long>(digest(reinterpret_cast<const uint8_t*>(key.path.data()),
                                                         key.path.size())));
    return folder_ + "/" + name + kSuffix;
}

std::optional<std::string> IndexStore::load(const IndexKey& key) const
{
    if (!enabled())
        return std::nullopt;
    const std::string path = fileFor(key);
    std::string bytes;
    if (!readFile(path, bytes))
        return std::nullopt;
    ByteReader f(bytes);
    const std::string magic = f.text(sizeof kMagic);
    if (!f.ok() || magic != std::string(kMagic, sizeof kMagic) || f.fixed(4) != kFormatVersion)
        return std::nullopt;
    const uint64_t pathLength = f.fixed(4);
    if (pathLength > kMaxPath)
        return std::nullopt;
    IndexKey stored;
    stored.path = f.text(pathLength);
    stored.size = int64_t(f.fixed(8));
    stored.modifiedNs = int64_t(f.fixed(8));
    stored.head = f.fixed(8);
    stored.tail = f.fixed(8);
    const uint64_t length = f.fixed(8);
    const uint64_t sum = f.fixed(8);
    if (!f.ok() || !(stored == key) || length != bytes.size() - f.at())
        return std::nullopt;
    std::string payload = bytes.substr(f.at());
    if (digest(reinterpret_cast<const uint8_t*>(payload.data()), payload.size()) != sum)
        return std::nullopt;
    ::utimensat(AT_FDCWD, path.c_str(), nullptr, 0);   // used now: the last to be trimmed
    return payload;
}

bool IndexStore::save(const IndexKey& key, const std::string& payload) const
{
    if (!enabled())
        return false;
    std::error_code error;
    fs::create_directories(folder_, error);
    const std::string target = fileFor(key);
    const std::string temporary = target + ".tmp" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    const bool written = writeFile(temporary, header(key, payload), payload) &&
                         ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!written)
        ::unlink(temporary.c_str());
    trim();
    return written;
}

void IndexStore::trim() const
{
    struct Entry {
        std::string path;
        int64_t bytes;
        fs::file_time_type used;
    };
    std::vector<Entry> entries;
    int64_t total = 0;
    std::error_code error;
    for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        const fs::path& p = it->path();
        if (p.extension() != kSuffix || !it->is_regular_file(error))
            continue;
        const int64_t bytes = int64_t(it->file_size(error));
        const auto used = it->last_write_time(error);
        if (error)
            continue;
        entries.push_back({p.string(), bytes, used});
        total += bytes;
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.used < b.used; });
    for (const Entry& e : entries) {
        if (total <= bound_)
            break;
        if (::unlink(e.path.c_str()) == 0)
            total -= e.bytes;
    }
}

} // namespace mci
