#pragma once
// The General tab: the "Blocking" box, starting at login, the page switch with its
// explanation and the browsers' consent, the suggestion switch, the privacy paragraph,
// and the footer with the name, the version and four buttons.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "app/model/log_fn.h"
#include "app/model/login_item.h"
#include "app/model/store.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace tarrow::ui {

class SetupBox;
class StoreSignals;

struct GeneralHooks {
    LogFn log;
    std::function<void()> setUp;
    std::function<void()> removeHelper;
    LoginItem login;  // unavailable: the switch is off and cannot be used
    // The per-user service that started the app, as `startedByTip` names it; the login
    // switch is locked while there is one.
    std::optional<std::string> agent;
    std::function<void()> askBrowsers;             // "Allow…"
    std::function<void()> openAutomationSettings;  // "Open Automation Settings…"
    std::function<void()> about;
    std::function<void()> openSite;
    std::function<void()> showPrivacy;
    std::function<void()> showLog;
};

class GeneralView final : public QWidget {
  public:
    GeneralView(StoreSignals& observed, GeneralHooks hooks, QWidget* parent = nullptr);

    SetupBox* setupBox() const { return setup_; }
    QCheckBox* loginSwitch() const { return login_; }
    QCheckBox* noticeSwitch() const { return notice_; }
    QCheckBox* suggestSwitch() const { return suggest_; }
    QCheckBox* waitSwitch() const { return wait_; }
    QLabel* strictLine() const { return strict_; }
    QWidget* browserRow() const { return browserRow_; }
    QLabel* browserText() const { return browserText_; }
    QPushButton* consentButton() const { return consent_; }
    QLabel* versionLabel() const { return version_; }
    // "About Tarrow", "Website", "Privacy", "Show Log", in this order.
    QPushButton* footerButton(int index) const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void storeChanged(StoreField field);
    void showConfig();
    void showStrict();
    void showBrowsers();
    void readLogin();
    void loginSwitched(bool on);
    void consentPressed();

    Store& store_;
    GeneralHooks hooks_;
    SetupBox* setup_;
    QCheckBox* login_;
    QCheckBox* notice_;
    QWidget* browserRow_;
    QLabel* browserText_;
    QPushButton* consent_;
    QCheckBox* suggest_;
    QCheckBox* wait_;
    QLabel* strict_;
    QLabel* version_;
    QPushButton* footer_[4];
};

}  // namespace tarrow::ui
