#include "app/autostart_item.h"

#include "platform/autostart.h"

namespace tarrow::app {

LoginItem autostartItem() {
    return {[] { return platform::autostartEnabled(platform::autostartPlaces()); },
            [](bool on) {
                return platform::setAutostart(platform::autostartPlaces(), on,
                                              platform::runningProgram());
            }};
}

}  // namespace tarrow::app
