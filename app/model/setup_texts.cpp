#include "app/model/setup_texts.h"

#include "platform/paths.h"

namespace tarrow {

std::string helperText(Helper helper, Desktop desktop) {
    const std::string product(appName);
    switch (helper) {
        case Helper::missing:
            return "Nothing is blocked yet. To block sites in every browser, " + product +
                   " needs your password once. After that it never asks again.";
        case Helper::outdated:
            return "Blocking works, but this version of " + product +
                   " brings a newer helper. Finish updating with your password.";
        case Helper::stuck:
            // The helper runs as a system service here; Repair installs it and starts the
            // service again, which is what helps when someone stopped or disabled it.
            if (desktop == Desktop::other)
                return "Blocking isn\u2019t working right now. Repair sets the helper up again "
                       "and starts its service, also when that service was stopped or disabled.";
            return "Blocking isn\u2019t working right now. Repair sets the helper up again. If "
                   "\u201Ctarrow-helper\u201D is switched off under System Settings \u2192 "
                   "General \u2192 Login Items, switch it on there.";
        case Helper::working:
            // The browsers read the extension's policy only when they start.
            if (desktop == Desktop::other)
                return "Set up. " + product +
                       " blocks sites in every browser, without asking for your password "
                       "again. Chromium-family browsers show its page after their next start.";
            return "Set up. " + product +
                   " blocks sites in every browser, without asking for your password again.";
    }
    return {};
}

}  // namespace tarrow
