#pragma once
// Pictures of the app's views for its documentation: a view alone in a frame of a given
// size, the notice card, and a window as it is. Each writes a PNG file; a view that
// cannot be rendered leaves its file unwritten and says nothing (the result tells).

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "app/model/calendar.h"
#include "app/ui/general_view.h"

class QWidget;

namespace tarrow::ui {

class StoreSignals;

inline constexpr int viewPadding = 20;  // around a view in its frame
inline constexpr int cardPadding = 24;  // around the card on its background
// The background behind the card: a dark violet grey, as a desktop behind it might be.
inline const QColor cardBackdrop = QColor(42, 37, 51);

struct FramedView {
    QWidget* view = nullptr;  // taken over (deleted after the picture)
    bool centred = false;     // a view of its own fixed size, centred in the frame
};

// One view of the documentation: its name in the file names, and how to make it.
struct DocumentedView {
    const char* name;
    std::function<FramedView()> make;
};

// Sites, schedules, general and welcome, over the store; `calendar` must outlive the
// views made.
std::vector<DocumentedView> documentedViews(StoreSignals& observed, const Calendar& calendar,
                                            GeneralHooks general);

// The frame of `renderView`, laid out, its pending events run.
std::unique_ptr<QWidget> framed(FramedView view, QSize size);

// Lays the view out with `viewPadding` around it in a frame of `size` points on the
// window colour of the application's palette, in a window never shown on screen; lets
// the pending events run; writes the frame.
bool renderView(FramedView framed, QSize size, const QString& path);

// The card saying `line` about `site`, with the muted `tries` line under it when that is
// not empty, at its fitting size, `cardPadding` around it on
// `cardBackdrop`.
bool renderCard(const QString& site, const QString& line, const QString& tries,
                const QString& path);

// Runs what is pending (layout requests, deferred deletions, queued calls), four rounds:
// a layout may ask for another one, a queued call may post more. Qt lays out as soon as
// these run, so there is no waiting for a fixed time.
void settle();

}  // namespace tarrow::ui
