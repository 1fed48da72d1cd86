#pragma once
// The tray mark: the lower-case initial of the product name, crossed by a bar while
// blocking is on. It is one colour only (like a template image): the shape counts, the
// ink is chosen by whoever shows it.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QString>

namespace tarrow::ui {

inline constexpr qreal markSide = 18;  // points

// The mark at `scale` pixels per point: a transparent square of 18 × scale pixels
// with the mark in `ink`. The images "menubar-blocked.png" / "menubar-open.png" in the
// resources folder replace the drawn mark when present (tinted with `ink`).
QImage markImage(bool on, qreal scale = 1, QColor ink = Qt::black);

// The drawn mark alone, ignoring any resource image (tests compare the two states).
QImage drawnMarkImage(bool on, qreal scale = 1, QColor ink = Qt::black);

// The tray icon: the mark at the usual tray sizes, marked as a mask, in a grey that
// reads on light and dark panels alike.
QIcon markIcon(bool on);

// The four 72 × 72 documentation images "mark-{unlocked,locked}-{light,dark}.png":
// the mark over the whole square, black on white and white on a 0.12 grey. Creates
// the folder; returns the files written.
QStringList writeMarkImages(const QString& folder);

}  // namespace tarrow::ui
