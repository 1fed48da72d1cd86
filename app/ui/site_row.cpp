#include "app/ui/site_row.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/model/sites_texts.h"
#include "app/ui/text_styles.h"

namespace tarrow::ui {

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

SiteRow::SiteRow(const QIcon& removeIcon, std::function<void(bool)> ticked,
                 std::function<void()> removed, QWidget* parent)
    : QWidget(parent), check_(new QCheckBox(this)), detail_(new QLabel(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 2);
    auto* label = new QVBoxLayout;
    label->setSpacing(1);
    label->addWidget(check_);
    // The second line starts where the name does, right of the box.
    const int indent = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, check_) +
                       style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, check_);
    detail_->setContentsMargins(indent, 0, 0, 0);
    detail_->setFont(captionFont(font()));
    detail_->setTextFormat(Qt::PlainText);
    detail_->setTextInteractionFlags(Qt::NoTextInteraction);
    setMuted(detail_, true);
    detail_->hide();
    label->addWidget(detail_);
    row->addLayout(label, 1);
    QObject::connect(check_, &QCheckBox::clicked, this, [ticked](bool on) { ticked(on); });
    if (!removeIcon.isNull()) {
        remove_ = new QToolButton(this);
        remove_->setIcon(removeIcon);
        remove_->setAutoRaise(true);  // borderless until the pointer is over it
        remove_->setFocusPolicy(Qt::StrongFocus);
        row->addWidget(remove_, 0, Qt::AlignVCenter);
        QObject::connect(remove_, &QToolButton::clicked, this, [removed] { removed(); });
    }
}

void SiteRow::fill(const std::string& name, const std::optional<std::string>& detail, bool checked,
                   bool dim) {
    if (!shown_ || name != name_) {
        name_ = name;
        // "&" would mark a shortcut letter in a checkbox's text.
        check_->setText(text(name).replace('&', QStringLiteral("&&")));
        check_->setAccessibleName(text(name));
        if (remove_) {
            remove_->setToolTip(text(removeTip(name)));
            remove_->setAccessibleName(text(removeName(name)));
        }
    }
    if (!shown_ || detail != detailText_) {
        detailText_ = detail;
        detail_->setText(detail ? text(*detail) : QString());
        detail_->setVisible(detail.has_value());
        check_->setAccessibleDescription(detail ? text(*detail) : QString());
    }
    if (check_->isChecked() != checked) check_->setChecked(checked);
    if (!shown_ || dim != dim_) {
        dim_ = dim;
        setMuted(check_, dim);
    }
    shown_ = true;
}

// A new palette from above: the muted colours are worked out from it again.
void SiteRow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (!paletteChanged(event)) return;
    setMuted(detail_, true);
    if (dim_) setMuted(check_, true);
}

}  // namespace tarrow::ui
