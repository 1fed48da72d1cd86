#include "app/model/setup_texts.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(SetupTexts, EveryHelperStateInBothWordings) {
    for (Desktop desktop : {Desktop::mac, Desktop::other}) {
        EXPECT_EQ(helperText(Helper::missing, desktop),
                  "Nothing is blocked yet. To block sites in every browser, Tarrow needs your "
                  "password once. After that it never asks again.");
        EXPECT_EQ(helperText(Helper::outdated, desktop),
                  "Blocking works, but this version of Tarrow brings a newer helper. Finish "
                  "updating with your password.");
    }
    EXPECT_EQ(helperText(Helper::working, Desktop::mac),
              "Set up. Tarrow blocks sites in every browser, without asking for your "
              "password again.");
    EXPECT_EQ(helperText(Helper::working, Desktop::other),
              "Set up. Tarrow blocks sites in every browser, without asking for your password "
              "again. Chromium-family browsers show its page after their next start.");
    EXPECT_EQ(helperText(Helper::stuck, Desktop::mac),
              "Blocking isn\u2019t working right now. Repair sets the helper up again. If "
              "\u201Ctarrow-helper\u201D is switched off under System Settings \u2192 General "
              "\u2192 Login Items, switch it on there.");
    EXPECT_EQ(helperText(Helper::stuck, Desktop::other),
              "Blocking isn\u2019t working right now. Repair sets the helper up again and "
              "starts its service, also when that service was stopped or disabled.");
}

}  // namespace
}  // namespace tarrow
