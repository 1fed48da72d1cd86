#include "helper/request.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <unordered_set>

#include "common/hosts_section.h"
#include "common/lines.h"
#include "common/spaces.h"
#include "common/utf8.h"
#include "helper/canary.h"

namespace tarrow {

namespace {

// Lower case as far as it matters for host names: ASCII letters, and the Kelvin sign,
// the one non-ASCII character whose lower case is an ASCII letter.
std::string lowered(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') {
            out.push_back(static_cast<char>(c - 'A' + 'a'));
        } else if (s.substr(i, 3) == "\xE2\x84\xAA") {
            out.push_back('k');
            i += 2;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// How long ago a file time was. In fractions of seconds, which no file time can overflow.
std::chrono::duration<double> age(const timespec& stamp) {
    using Seconds = std::chrono::duration<double>;
    return Seconds(std::chrono::system_clock::now().time_since_epoch()) -
           Seconds(static_cast<double>(stamp.tv_sec));
}

}  // namespace

std::vector<std::string> requestNames(std::string_view text) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    LineCursor lines(text);
    for (std::string_view line; lines.next(line);) {
        if (line.empty()) continue;
        std::string name = lowered(trimSpaces(line));
        if (!validHost(name) || isProtected(name) || name == canaryName || seen.count(name))
            continue;
        seen.insert(name);
        names.push_back(std::move(name));
        if (names.size() == maxNames) break;
    }
    return names;
}

AppFile readAppFile(const std::string& path, uid_t uid) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return {errno == ENOENT ? AppFile::Kind::missing : AppFile::Kind::untrusted, {}};

    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    const AppFile untrusted{AppFile::Kind::untrusted, {}};
    struct stat st {};
    if (::fstat(fd, &st) != 0) return untrusted;
    if (!S_ISREG(st.st_mode)) return untrusted;
    if (st.st_uid != uid) return untrusted;
    if (st.st_size > maxRequestSize) return untrusted;
    if (st.st_size > 0 && age(st.st_mtim) > heartbeat) return {AppFile::Kind::stale, {}};

    // The size was checked on this descriptor; read what it holds now, up to the limit.
    std::string bytes(static_cast<size_t>(st.st_size) + 1, '\0');
    size_t have = 0;
    while (have < requestReadLimit) {
        if (have == bytes.size()) bytes.resize(std::min(requestReadLimit, 2 * bytes.size()));
        ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return untrusted;
        if (n == 0) break;
        have += static_cast<size_t>(n);
    }
    bytes.resize(have);
    if (!validUtf8(bytes)) return untrusted;
    return {AppFile::Kind::text, std::move(bytes)};
}

Request requested(const std::string& path, uid_t uid) {
    AppFile file = readAppFile(path, uid);
    switch (file.kind) {
        case AppFile::Kind::missing:
            return Request{};
        case AppFile::Kind::untrusted:
            return Request::untrusted();
        case AppFile::Kind::stale:
            return Request::silent();
        case AppFile::Kind::text:
            break;
    }
    return Request{Request::Kind::names, requestNames(file.text)};
}

}  // namespace tarrow
