#pragma once
// The brand's colours and typeface. The typeface is Apfel Grotezk (bold and regular),
// registered for this process from the app's resources; without it every brand text
// is set in the bold system font.

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

namespace tarrow::ui {

inline const QColor night = QColor::fromRgbF(0.0863f, 0.0745f, 0.1098f);   // #16131C
inline const QColor paper = QColor::fromRgbF(0.9529f, 0.9333f, 0.9647f);   // #F3EEF6
inline const QColor ash = QColor::fromRgbF(0.6784f, 0.6431f, 0.7137f);     // #ADA4B6
inline const QColor pink = QColor::fromRgbF(1.0f, 0.3608f, 0.5765f);       // #FF5C93
inline const QColor pinkHover = QColor::fromRgbF(1.0f, 0.5216f, 0.6824f);  // #FF85AE

// The font files, without extension, looked up in the resources folder.
inline constexpr const char* brandFontFiles[] = {"apfel-grotezk-latin-700-normal",
                                                 "apfel-grotezk-latin-400-normal"};

// Registers the font files that exist (errors are ignored), then sets brandFontName
// when the bold face can be had. Needs the application object; call once at start-up.
// With Qt the face is chosen by family and weight: its family name is "Apfel
// Grotezk" and its bold style is "Fett" (PostScript name "ApfelGrotezk-Fett").
void registerBrandFont();
// Same, from a given folder (tests).
void registerBrandFont(const QString& folder);

// The family of the brand font, once registered.
const std::optional<QString>& brandFontName();

// The brand font (bold) at a size in points, or the bold system font of that size.
QFont brandFont(qreal size);

}  // namespace tarrow::ui
