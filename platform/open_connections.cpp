#include "platform/open_connections.h"

#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tarrow::platform {

namespace {

constexpr const char* what = "socket diagnostics";

// The kernel's TCP states, as in include/net/tcp_states.h.
constexpr unsigned established = 1;
constexpr unsigned synSent = 2;

struct Found {
    uint8_t family;
    uint8_t protocol;
    inet_diag_sockid id;
};

struct DiagRequest {
    nlmsghdr header;
    inet_diag_req_v2 body;
};

class Netlink {
  public:
    Netlink() : fd_(::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG)) {
        if (fd_ < 0) return;
        timeval limit{1, 0};  // the kernel answers at once; never hang the pass on it
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    }
    ~Netlink() {
        if (fd_ >= 0) ::close(fd_);
    }
    Netlink(const Netlink&) = delete;
    Netlink& operator=(const Netlink&) = delete;
    bool ok() const { return fd_ >= 0; }

    Status send(const DiagRequest& request) {
        sockaddr_nl kernel{};
        kernel.nl_family = AF_NETLINK;
        if (::sendto(fd_, &request, sizeof request, 0, reinterpret_cast<sockaddr*>(&kernel),
                     sizeof kernel) < 0)
            return Status::lastError("send to", what);
        return {};
    }

    // Reads one datagram of replies; its length, or a failure.
    Result<size_t> receive() {
        for (;;) {
            ssize_t n = ::recv(fd_, buffer_, sizeof buffer_, 0);
            if (n >= 0) return static_cast<size_t>(n);
            if (errno != EINTR) return Status::lastError("read from", what);
        }
    }
    const char* data() const { return buffer_; }

  private:
    int fd_;
    alignas(nlmsghdr) char buffer_[32768];
};

DiagRequest request(uint16_t type, uint16_t flags, uint8_t family, uint8_t protocol) {
    DiagRequest r{};
    r.header.nlmsg_len = sizeof r;
    r.header.nlmsg_type = type;
    r.header.nlmsg_flags = flags;
    r.body.sdiag_family = family;
    r.body.sdiag_protocol = protocol;
    return r;
}

IpAddress remoteOf(uint8_t family, const inet_diag_sockid& id) {
    if (family == AF_INET) {
        in_addr four{};
        std::memcpy(&four.s_addr, id.idiag_dst, 4);
        return IpAddress::v4(four);
    }
    in6_addr six{};
    std::memcpy(six.s6_addr, id.idiag_dst, 16);
    return IpAddress::v6(six);
}

// Lists the family's and protocol's sockets in the wanted states that talk to `remotes`.
Status dump(Netlink& link, uint8_t family, uint8_t protocol, const std::set<IpAddress>& remotes,
            std::vector<Found>& found) {
    DiagRequest r = request(SOCK_DIAG_BY_FAMILY, NLM_F_REQUEST | NLM_F_DUMP, family, protocol);
    // UDP sockets count as established once connected.
    r.body.idiag_states = (1u << established) | (protocol == IPPROTO_TCP ? 1u << synSent : 0u);
    if (Status s = link.send(r); !s.ok()) return s;
    for (;;) {
        Result<size_t> n = link.receive();
        if (!n.ok()) return n.status();
        int left = static_cast<int>(*n);
        for (auto* h = reinterpret_cast<const nlmsghdr*>(link.data()); NLMSG_OK(h, left);
             h = NLMSG_NEXT(h, left)) {
            if (h->nlmsg_type == NLMSG_DONE) return {};
            if (h->nlmsg_type == NLMSG_ERROR) {
                const auto* e = static_cast<const nlmsgerr*>(NLMSG_DATA(h));
                // No diagnostics module for this protocol: it has nothing to list.
                if (e->error == -ENOENT) return {};
                return Status::failure("list sockets through", what, -e->error);
            }
            const auto* m = static_cast<const inet_diag_msg*>(NLMSG_DATA(h));
            if (remotes.count(remoteOf(m->idiag_family, m->id)))
                found.push_back({m->idiag_family, protocol, m->id});
        }
    }
}

// True when the socket was closed, false when it had gone already.
Result<bool> destroy(Netlink& link, const Found& socket) {
    DiagRequest r =
        request(SOCK_DESTROY, NLM_F_REQUEST | NLM_F_ACK, socket.family, socket.protocol);
    r.body.idiag_states = ~0u;
    r.body.id = socket.id;
    if (Status s = link.send(r); !s.ok()) return s;
    Result<size_t> n = link.receive();
    if (!n.ok()) return n.status();
    int left = static_cast<int>(*n);
    for (auto* h = reinterpret_cast<const nlmsghdr*>(link.data()); NLMSG_OK(h, left);
         h = NLMSG_NEXT(h, left)) {
        if (h->nlmsg_type != NLMSG_ERROR) continue;
        const int error = -static_cast<const nlmsgerr*>(NLMSG_DATA(h))->error;
        if (error == 0) return true;
        if (error == ENOENT) return false;  // closed by its owner meanwhile
        return Status::failure("close connections through", what, error);
    }
    return Status::failure("close connections through", what, 0, "no answer from the kernel");
}

}  // namespace

Result<size_t> closeConnectionsTo(const std::set<IpAddress>& remotes) {
    if (remotes.empty()) return size_t{0};
    Netlink link;
    if (!link.ok()) return Status::lastError("open", what);

    std::vector<Found> found;
    for (uint8_t protocol : {uint8_t{IPPROTO_TCP}, uint8_t{IPPROTO_UDP}})
        for (uint8_t family : {uint8_t{AF_INET}, uint8_t{AF_INET6}})
            if (Status s = dump(link, family, protocol, remotes, found); !s.ok()) return s;

    size_t closed = 0;
    for (const Found& socket : found) {
        Result<bool> gone = destroy(link, socket);
        if (!gone.ok()) return gone.status();
        if (*gone) ++closed;
    }
    return closed;
}

}  // namespace tarrow::platform
