#include "tests/support/qt_app.h"

#include <QApplication>
#include <QElapsedTimer>

namespace tarrow::test {

void ensureQtApp() {
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: Qt's own globals may be gone by the time statics are torn down.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

bool waitUntil(const std::function<bool()>& condition, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

}  // namespace tarrow::test

// fontconfig keeps its caches for the process's life; with the application object never
// destroyed, the leak checker sees them at exit. They are not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
