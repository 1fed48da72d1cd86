#pragma once
// Tells when the machine has woken from sleep: logind's PrepareForSleep(false) on the
// system bus. Timers do not run during sleep, so without this the first tick after a
// wake-up could come up to a whole tick interval late.

#include <QObject>
#include <QString>
#include <functional>

namespace tarrow::platform {

class WakeWatch : public QObject {
    Q_OBJECT

  public:
    explicit WakeWatch(std::function<void()> woke, QObject* parent = nullptr);

    // False when the system bus cannot be reached; then `problem` says why.
    bool listening() const { return listening_; }
    const QString& problem() const { return problem_; }

  private slots:
    void prepareForSleep(bool goingToSleep);

  private:
    std::function<void()> woke_;
    bool listening_ = false;
    QString problem_;
};

}  // namespace tarrow::platform
