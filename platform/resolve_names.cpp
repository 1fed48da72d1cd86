#include "platform/resolve_names.h"

#include <netdb.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace tarrow::platform {

namespace {

// Lookups run on a few threads per call; a lookup that outlives its call keeps its
// thread until the resolver gives up, so the threads of all calls together are capped.
constexpr size_t threadsPerCall = 16;
constexpr int threadsAtMost = 64;
std::atomic<int> threadsRunning{0};

struct Batch {
    std::mutex mutex;
    std::condition_variable answered;
    std::vector<NameAnswer> answers;  // names filled in, outcomes `late` until answered
    size_t next = 0;
    size_t done = 0;
    bool abandoned = false;  // the caller has returned: answers are no longer wanted
};

NameAnswer lookUp(const std::string& name) {
    NameAnswer answer;
    answer.name = name;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;  // one entry per address instead of three
    addrinfo* list = nullptr;
    const int error = ::getaddrinfo(name.c_str(), nullptr, &hints, &list);
    if (error != 0) {
        answer.outcome = NameAnswer::Outcome::failed;
        answer.error = ::gai_strerror(error);
        return answer;
    }
    answer.outcome = NameAnswer::Outcome::addresses;
    for (addrinfo* entry = list; entry; entry = entry->ai_next) {
        auto ip = IpAddress::from(entry->ai_addr);
        if (!ip || std::find(answer.addresses.begin(), answer.addresses.end(), *ip) !=
                       answer.addresses.end())
            continue;
        answer.addresses.push_back(*ip);
        if (answer.addresses.size() == maxAddressesPerName) break;
    }
    ::freeaddrinfo(list);
    return answer;
}

void work(std::shared_ptr<Batch> batch) {
    for (;;) {
        size_t index = 0;
        std::string name;
        {
            std::lock_guard lock(batch->mutex);
            if (batch->abandoned || batch->next == batch->answers.size()) break;
            index = batch->next++;
            name = batch->answers[index].name;
        }
        NameAnswer answer = lookUp(name);
        {
            std::lock_guard lock(batch->mutex);
            if (!batch->abandoned) batch->answers[index] = std::move(answer);
            ++batch->done;
        }
        batch->answered.notify_all();
    }
    threadsRunning.fetch_sub(1);
}

}  // namespace

std::vector<NameAnswer> resolveNames(const std::vector<std::string>& names,
                                     std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    auto batch = std::make_shared<Batch>();
    batch->answers.resize(names.size());
    for (size_t i = 0; i < names.size(); ++i) batch->answers[i].name = names[i];
    if (names.empty()) return {};

    size_t started = 0;
    while (started < std::min(names.size(), threadsPerCall)) {
        if (threadsRunning.fetch_add(1) >= threadsAtMost) {
            threadsRunning.fetch_sub(1);
            break;
        }
        try {
            std::thread(work, batch).detach();
        } catch (const std::system_error&) {
            threadsRunning.fetch_sub(1);
            break;
        }
        ++started;
    }

    std::unique_lock lock(batch->mutex);
    if (started > 0)
        batch->answered.wait_until(lock, end, [&] { return batch->done == names.size(); });
    batch->abandoned = true;
    return batch->answers;
}

}  // namespace tarrow::platform
