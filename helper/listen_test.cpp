#include "helper/listen_test.h"

#include <unistd.h>

#include "helper/log.h"
#include "helper/notice.h"

namespace tarrow {

int runListenTest(const std::string& folder, uint16_t plainPort, uint16_t tlsPort) {
    const std::string hits = folder + "/hits";
    Notice notice("127.0.0.1", hits, false, NoticeSetup{helper::log, {}, {}, noticeLimits});
    if (!notice.start(plainPort, tlsPort)) {
        helper::log("listen test: cannot bind");
        return 1;
    }
    // The bound ports: the same as asked, or the ones the system chose for port 0.
    std::vector<uint16_t> ports = notice.ports();
    helper::log("listen test on 127.0.0.1:" + std::to_string(ports[0]) +
                " and :" + std::to_string(ports[1]) + ", hits in " + hits);
    while (true) ::pause();
}

}  // namespace tarrow
