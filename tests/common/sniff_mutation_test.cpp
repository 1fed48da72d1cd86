// Randomised mutations of real inputs fed to both parsers. Each input sits in a heap
// block of exactly its size, so that AddressSanitizer catches a read one byte too far.
// TARROW_MUTATIONS sets the count (a separate test runs a million).

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "common/sniff.h"
#include "tests/support/tls_hello.h"

namespace tarrow {
namespace {

#include "tests/common/openssl_hello.inc"

size_t mutationCount() {
    const char* text = std::getenv("TARROW_MUTATIONS");
    return text ? std::strtoull(text, nullptr, 10) : 20000;
}

std::vector<std::string> seeds() {
    using namespace test;
    return {
        opensslHello,
        clientHelloFor("www.example.com"),
        clientHello({serverNames({{1, "x"}, {0, "multi.example"}, {0, "two.example"}})}, 0),
        "GET / HTTP/1.1\r\nHost: www.example.com:80\r\nAccept: */*\r\n\r\n",
        "GET /a HTTP/1.0\nUser-Agent: x\nHost: lf.example\n\n",
        "POST / HTTP/1.1\r\nhost:\xc2\xa0unicode.example\xe2\x80\xa8X: y\r\n\r\nbody",
    };
}

class Mutator {
  public:
    explicit Mutator(uint64_t seed) : random_(seed) {}

    std::string mutate(std::string data, const std::vector<std::string>& pool) {
        const int rounds = 1 + pick(4);
        for (int i = 0; i < rounds; ++i) {
            const size_t at = data.empty() ? 0 : pick(data.size());
            switch (pick(7)) {
                case 0:  // flip a byte
                    if (!data.empty()) data[at] = static_cast<char>(pick(256));
                    break;
                case 1:  // a length-like extreme
                    if (!data.empty()) data[at] = pick(2) ? '\xff' : '\0';
                    break;
                case 2:  // insert random bytes
                    data.insert(at, std::string(1 + pick(8), static_cast<char>(pick(256))));
                    break;
                case 3:  // delete a run
                    if (!data.empty()) data.erase(at, 1 + pick(16));
                    break;
                case 4:  // truncate
                    data.resize(at);
                    break;
                case 5: {  // duplicate a chunk
                    if (data.empty()) break;
                    std::string chunk = data.substr(at, 1 + pick(64));
                    data.insert(pick(data.size()), chunk);
                    break;
                }
                case 6: {  // splice another seed
                    const std::string& other = pool[pick(pool.size())];
                    data = data.substr(0, at) + other.substr(pick(other.size()));
                    break;
                }
            }
        }
        return data;
    }

    size_t pick(size_t below) {
        return std::uniform_int_distribution<size_t>(0, below - 1)(random_);
    }

  private:
    std::mt19937_64 random_;
};

// The parser sees exactly `data`, with no readable byte after it.
Parsed exactly(Parsed (*parser)(std::string_view), const std::string& data) {
    std::unique_ptr<char[]> block(new char[std::max<size_t>(data.size(), 1)]);
    std::copy(data.begin(), data.end(), block.get());
    return parser(std::string_view(block.get(), data.size()));
}

bool hasUpper(const std::string& name) {
    return std::any_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

TEST(SniffMutation, ParsersStayTotalAndConsistent) {
    const std::vector<std::string> pool = seeds();
    Mutator mutator(0x7a770);
    const size_t count = mutationCount();
    size_t hosts = 0;
    for (size_t i = 0; i < count; ++i) {
        const std::string data = mutator.mutate(pool[i % pool.size()], pool);

        const Parsed tls = exactly(clientHelloHost, data);
        ASSERT_FALSE(hasUpper(tls.name));
        if (tls.kind != Parsed::Kind::incomplete) {
            // Bytes after the record never change a decision, and a shorter prefix never
            // decides differently.
            ASSERT_EQ(clientHelloHost(data + "\x16\x03\x01more"), tls) << i;
            const std::string prefix = data.substr(0, mutator.pick(data.size() + 1));
            const Parsed early = exactly(clientHelloHost, prefix);
            ASSERT_TRUE(early.kind == Parsed::Kind::incomplete || early == tls) << i;
        }

        const Parsed http = exactly(httpHost, data);
        if (http.kind == Parsed::Kind::host) {
            ++hosts;
            ASSERT_FALSE(http.name.empty());
            ASSERT_EQ(http.name.find(':'), std::string::npos);
            ASSERT_FALSE(hasUpper(http.name));
        }
        const bool terminated =
            data.find("\r\n\r\n") != std::string::npos || data.find("\n\n") != std::string::npos;
        ASSERT_EQ(http.kind == Parsed::Kind::incomplete, !terminated && data.size() <= headerLimit)
            << i;
    }
    EXPECT_GT(hosts, 0u);  // the mutations do not only produce garbage
}

}  // namespace
}  // namespace tarrow
