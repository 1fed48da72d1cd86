#pragma once
// A dark palette like a desktop's dark theme, for pictures of the views in dark.

#include <QPalette>

namespace tarrow::testing {

inline QPalette darkTheme() {
    QPalette p;
    const QColor window(0x2B, 0x2A, 0x33), base(0x1F, 0x1E, 0x25), text(0xEE, 0xEC, 0xF2);
    const QColor disabled(0x7A, 0x78, 0x84);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x3A, 0x39, 0x44));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(0x3D, 0x7E, 0xDB));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0x8C, 0x8A, 0x96));
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

}  // namespace tarrow::testing
