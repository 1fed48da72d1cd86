#include "app/ui/sites_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "app/model/site_lines.h"
#include "app/model/site_names.h"
#include "app/model/sites_texts.h"
#include "app/ui/settings_icons.h"
#include "app/ui/setup_box.h"
#include "app/ui/sites_list.h"
#include "app/ui/store_signals.h"
#include "app/ui/tab_head.h"
#include "app/ui/text_styles.h"
#include "app/ui/ui_text.h"

namespace tarrow::ui {

namespace {

bool startsWith(const std::string& s, std::string_view prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

constexpr std::string_view siteKey = "site:";
constexpr std::string_view suggestionKey = "suggestion:";
constexpr std::string_view presetKey = "preset:";

ListItem heading(std::string key, std::string_view title) {
    ListItem item;
    item.kind = ListItem::Kind::heading;
    item.key = std::move(key);
    item.text = std::string(title);
    return item;
}

ListItem note(std::string key, std::string_view line) {
    ListItem item;
    item.kind = ListItem::Kind::note;
    item.key = std::move(key);
    item.text = std::string(line);
    return item;
}

ListItem row(std::string key, std::string name, std::optional<std::string> detail, bool checked,
             bool dim, bool removable) {
    ListItem item;
    item.kind = ListItem::Kind::row;
    item.key = std::move(key);
    item.text = std::move(name);
    item.detail = std::move(detail);
    item.checked = checked;
    item.dim = dim;
    item.removable = removable;
    return item;
}

}  // namespace

SitesView::SitesView(StoreSignals& observed, SitesHooks hooks, QWidget* parent)
    : QWidget(parent),
      store_(observed.store()),
      hooks_(std::move(hooks)),
      tab_(store_, hooks_.log),
      // Qt's system locale follows LC_ALL, LC_NUMERIC and LANG, as numbers should.
      locale_(QLocale::system().name().toStdString()) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(10);

    head_.emplace(store_, hooks_.setUp, hooks_.removeHelper, column, this);

    auto* addRow = new QHBoxLayout;
    entry_ = new QLineEdit(this);
    entry_->setPlaceholderText(text(addPlaceholder()));
    entry_->setAccessibleName(text(addPlaceholder()));
    entry_->setClearButtonEnabled(true);
    add_ = new QPushButton(text(addButtonTitle), this);
    add_->setEnabled(false);
    addRow->addWidget(entry_, 1);
    addRow->addWidget(add_);
    column->addLayout(addRow);

    problem_ = new QWidget(this);
    auto* problemRow = new QHBoxLayout(problem_);
    problemRow->setContentsMargins(0, 0, 0, 0);
    problemRow->setSpacing(6);
    problemSign_ = new QLabel(problem_);
    drawSign();
    problemText_ = new QLabel(problem_);
    problemText_->setTextFormat(Qt::PlainText);
    problemText_->setWordWrap(true);
    problemText_->setFont(calloutFont(font()));
    problemRow->addWidget(problemSign_, 0, Qt::AlignTop);
    problemRow->addWidget(problemText_, 1);
    problem_->hide();
    column->addWidget(problem_);

    SitesList::Actions actions;
    actions.ticked = [this](const std::string& key, bool on) { ticked(key, on); };
    actions.removed = [this](const std::string& key) { removed(key); };
    actions.pressed = [this](const std::string&) {
        if (hooks_.openFullDiskAccess) hooks_.openFullDiskAccess();
    };
    actions.focusLost = [this] { entry_->setFocus(Qt::OtherFocusReason); };
    list_ = new SitesList(std::move(actions), this);
    column->addWidget(list_, 1);

    auto* footnote = new MutedLabel(text(usualAddresses), this);
    footnote->setFont(calloutFont(font()));
    column->addWidget(footnote);

    connect(entry_, &QLineEdit::textChanged, this, [this](const QString& typed) {
        tab_.entry = typed.toStdString();
        add_->setEnabled(tab_.canAdd());
    });
    connect(entry_, &QLineEdit::returnPressed, this, &SitesView::addEntry);
    connect(add_, &QPushButton::clicked, this, &SitesView::addEntry);
    connect(&observed, &StoreSignals::changed, this, &SitesView::storeChanged);
}

std::vector<ListItem> SitesView::items() const {
    const SitesGroups groups = tab_.groups();
    std::vector<ListItem> items;
    items.reserve(groups.yourList.size() + groups.suggestions.size() + groups.presets.size() + 16);

    items.push_back(heading("heading:your", yourListTitle));
    if (groups.yourList.empty()) items.push_back(note("note:nothing", nothingYet));
    const SiteAttempts& tries = store_.weekAttempts();
    const SiteOpenNames& open = store_.stillOpen();
    const std::vector<OpenName> noneOpen;
    for (const Site& site : groups.yourList) {
        auto n = tries.find(site.domain);
        const int week = n == tries.end() ? 0 : n->second;
        auto o = open.find(site.domain);
        items.push_back(
            row(std::string(siteKey) + site.id, siteName(site.domain),
                detail(site.domain, week, locale_, o == open.end() ? noneOpen : o->second),
                tab_.enabled(site.domain), !site.enabled, true));
    }

    const auto& all = store_.suggestions();
    const auto& locked = store_.lockedBrowsers();
    const SuggestionsShown shown =
        suggestionsShown({store_.config().suggest, store_.readsHistory, store_.suggesting(),
                          all.size(), locked.size()},
                         groups);
    if (shown != SuggestionsShown::absent) {
        items.push_back(heading("heading:suggestions", visitOftenTitle));
        switch (shown) {
            case SuggestionsShown::absent:
                break;
            case SuggestionsShown::loading: {
                ListItem loading;
                loading.kind = ListItem::Kind::loading;
                loading.key = "loading";
                loading.text = std::string(lookingAtBrowsing);
                items.push_back(std::move(loading));
                break;
            }
            case SuggestionsShown::list:
                for (const Suggestion& s : groups.suggestions)
                    items.push_back(row(std::string(suggestionKey) + s.domain, siteName(s.domain),
                                        visitsLine(s, locale_), tab_.enabled(s.domain), false,
                                        false));
                break;
            case SuggestionsShown::locked: {
                LockedNote instead = lockedInsteadOfList(locked);
                ListItem item = note("note:locked", instead.text);
                item.button = instead.button;
                items.push_back(std::move(item));
                break;
            }
            case SuggestionsShown::noneFound:
                items.push_back(note("note:none", noFrequentSite));
                break;
            case SuggestionsShown::allListed:
                items.push_back(note("note:all", allOnYourList));
                break;
        }
        ListItem footnote = note("note:history", historyFootnote());
        footnote.small = true;
        items.push_back(std::move(footnote));
        if (!locked.empty() && !all.empty()) {
            LockedNote under = lockedUnderList(locked);
            ListItem item = note("note:locked-under", under.text);
            item.button = under.button;
            item.centred = true;
            items.push_back(std::move(item));
        }
    }

    for (const PresetSection& section : presetSections(groups.presets)) {
        items.push_back(
            heading("heading:" + std::string(section.kind), popularTitle(section.kind)));
        for (const Preset& preset : section.presets) {
            std::optional<std::string> second;
            if (preset.domain != preset.name) second = preset.domain;
            items.push_back(row(std::string(presetKey) + preset.domain, preset.name, second,
                                tab_.enabled(preset.domain), false, false));
        }
    }
    return items;
}

void SitesView::storeChanged(StoreField field) {
    if (head_->follow(field)) return;
    switch (field) {
        case StoreField::config:
        case StoreField::suggestions:
        case StoreField::suggesting:
        case StoreField::lockedBrowsers:
        case StoreField::weekAttempts:
        case StoreField::stillOpen:
            redraw();
            return;
        case StoreField::status:  // the head's
        case StoreField::helper:
        case StoreField::tab:
        case StoreField::browsers:
            return;
    }
}

void SitesView::redraw() {
    // Off screen the list waits: the next showing groups afresh anyway.
    if (!isVisible()) return;
    if (list_->draw(items())) chainFocus();
}

void SitesView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;  // back from being minimised: still the same showing
    tab_.appear();
    redraw();  // grouped afresh from what is listed now
    entry_->setFocus(Qt::OtherFocusReason);
}

void SitesView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous()) return;
    tab_.leave();
}

void SitesView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (paletteChanged(event)) drawSign();
}

void SitesView::drawSign() {
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    problemSign_->setPixmap(warningIcon().pixmap(side, side));
}

void SitesView::addEntry() {
    tab_.add(tab_.entry);
    const QString left = QString::fromStdString(tab_.entry);
    if (entry_->text() != left) entry_->setText(left);
    showProblem();
}

void SitesView::showProblem() {
    const QString problem = tab_.problem() ? QString::fromStdString(*tab_.problem()) : QString();
    problemText_->setText(problem);
    problemText_->setAccessibleName(problem);
    // A screen reader reads the problem with the field it belongs to.
    entry_->setAccessibleDescription(problem);
    problem_->setVisible(tab_.problem().has_value());
}

// Top to bottom: the set-up buttons, the add field and its button, then the list.
void SitesView::chainFocus() {
    std::vector<QWidget*> chain = {setupBox()->setUpButton(), setupBox()->removeButton(), entry_,
                                   add_};
    const std::vector<QWidget*> rows = list_->controls();
    chain.insert(chain.end(), rows.begin(), rows.end());
    for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void SitesView::ticked(const std::string& key, bool on) {
    if (startsWith(key, siteKey)) {
        const std::string id = key.substr(siteKey.size());
        for (const Site& site : store_.config().sites) {
            if (site.id != id) continue;
            tab_.setEnabled(site.domain, on, false);
            break;
        }
    } else if (startsWith(key, suggestionKey)) {
        tab_.setEnabled(key.substr(suggestionKey.size()), on, true);
    } else if (startsWith(key, presetKey)) {
        tab_.setEnabled(key.substr(presetKey.size()), on, true);
    }
    // A click the list did not take (the site went meanwhile) shows the list's truth again.
    redraw();
}

void SitesView::removed(const std::string& key) {
    if (startsWith(key, siteKey)) tab_.remove(key.substr(siteKey.size()));
}

}  // namespace tarrow::ui
