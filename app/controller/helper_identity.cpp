#include "app/controller/helper_identity.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "common/file_io.h"

namespace tarrow::app {

const char* helperName(Helper state) {
    switch (state) {
        case Helper::missing:
            return "missing";
        case Helper::outdated:
            return "outdated";
        case Helper::stuck:
            return "stuck";
        case Helper::working:
            return "working";
    }
    return "missing";
}

Result<std::string> sha256(const std::string& path) {
    Result<int> opened = openRegularFile(path);
    if (!opened) return opened.status();
    const int fd = *opened;
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                    EVP_MD_CTX_free);
    bool ok = context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1;
    unsigned char buffer[65536];
    Status failed;
    while (ok) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = Status::lastError("read", path);
        if (n <= 0) break;
        ok = EVP_DigestUpdate(context.get(), buffer, static_cast<size_t>(n)) == 1;
    }
    ::close(fd);
    if (!failed.ok()) return failed;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!ok || EVP_DigestFinal_ex(context.get(), digest, &length) != 1)
        return Status::failure("hash", path, 0, "the digest could not be computed");
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text.push_back(hex[digest[i] >> 4]);
        text.push_back(hex[digest[i] & 0xf]);
    }
    return text;
}

std::string helperStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "0.000000000/0";
    char stamp[128];
    std::snprintf(stamp, sizeof stamp, "%lld.%09ld/%lld/%lld.%09ld/%llu",
                  static_cast<long long>(st.st_mtim.tv_sec), st.st_mtim.tv_nsec,
                  static_cast<long long>(st.st_size), static_cast<long long>(st.st_ctim.tv_sec),
                  st.st_ctim.tv_nsec, static_cast<unsigned long long>(st.st_ino));
    return stamp;
}

std::optional<std::string> installedHelperHash(std::optional<HelperHash>& cache,
                                               const std::string& path) {
    std::string stamp = helperStamp(path);
    if (cache && cache->stamp == stamp) return cache->hash;
    Result<std::string> hash = sha256(path);
    cache = HelperHash{stamp, hash ? std::optional<std::string>(*hash) : std::nullopt};
    return cache->hash;
}

bool helperInstalled(const std::string& helperPath, const std::string& servicePath) {
    struct stat st {};
    return ::stat(helperPath.c_str(), &st) == 0 && ::stat(servicePath.c_str(), &st) == 0;
}

std::string bundledHelperFor(const std::string& program) {
    const std::filesystem::path folder = std::filesystem::path(program).parent_path();
    const std::string beside = (folder / "tarrow-helper").string();
    const std::string installed =
        (folder / "../libexec/tarrow/tarrow-helper").lexically_normal().string();
    struct stat st {};
    for (const std::string& path : {beside, installed})
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return path;
    return beside;
}

std::string bundledHelper() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "tarrow-helper";
    return bundledHelperFor(self.string());
}

}  // namespace tarrow::app
