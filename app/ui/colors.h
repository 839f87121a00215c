#pragma once
// Colours are stored as the platform's colour values: red in the low byte, then green and blue.

#include <QColor>
#include <QPalette>
#include <QWidget>
#include <cstdint>

namespace tidemet {

inline QColor ColorFromValue(int32_t value) {
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

inline int32_t ColorValue(const QColor& color) {
  return static_cast<int32_t>(color.red() | (color.green() << 8) | (color.blue() << 16));
}

// Window background and foreground for a window's content and every control in it that takes
// them. Menu bars are left out: they keep the desktop's colours so that disabled items stay
// readable on any background.
inline void ApplyWindowColors(QWidget& window, int32_t back, int32_t fore) {
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, ColorFromValue(back));
  palette.setColor(QPalette::WindowText, ColorFromValue(fore));
  window.setPalette(palette);
  window.setAutoFillBackground(true);
}

}  // namespace tidemet
