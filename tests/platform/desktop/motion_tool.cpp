// Prints how the desktop's motion setting reads at start ("start: reduced|full from
// <source>"), then the first change ("changed: reduced|full"), then ends.

#include <QCoreApplication>
#include <cstdio>

#include "platform/desktop/reduced_motion.h"

namespace {

const char* word(bool reduced) {
    return reduced ? "reduced" : "full";
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    tarrow::platform::MotionWatch motion([](bool reduced) {
        std::printf("changed: %s\n", word(reduced));
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    std::printf("start: %s from %s\n", word(motion.reduced()),
                motion.source().toUtf8().constData());
    std::fflush(stdout);
    return application.exec();
}
