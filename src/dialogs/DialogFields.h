// Fields the element dialogs share: the colour list box with its twenty named colours, and number
// fields that change only by their arrows, keys and the wheel.
#pragma once

#include <array>
#include <string_view>

#include <QComboBox>
#include <QSpinBox>

#include "platform/Color.h"

namespace xq {

struct TColorListEntry {
    TColor Color;
    std::string_view Name;
};

/// The entries of every colour box, in their order. Some colours stand twice under two names
/// ("Silber" and "Hellgrau", "Grau" and "Dunkelgrau"); a colour is shown as its first entry.
inline constexpr std::array<TColorListEntry, 20> ColorListEntries = {{
    {clNone, "Transparent"},
    {0x000000, "Schwarz"},
    {0x000080, "Nußbraun"},
    {0x008000, "Grün"},
    {0x008080, "Oliv"},
    {0x800000, "Marineblau"},
    {0x800080, "Purpur"},
    {0x808000, "Seegrün"},
    {0x808080, "Grau"},
    {0xC0C0C0, "Silber"},
    {0x0000FF, "Rot"},
    {0x00FF00, "Grasgrün"},
    {0x00FFFF, "Gelb"},
    {0xFF0000, "Blau"},
    {0xFF00FF, "Rosa"},
    {0xFFFF00, "Aqua"},
    {0xC0C0C0, "Hellgrau"},
    {0x808080, "Dunkelgrau"},
    {0xFFFFFF, "Weiss"},
    {0x20000000, "Windows"},
}};
inline constexpr int ColorEntryBlack = 1;
inline constexpr int ColorEntryGray = 8;

/// The first entry showing color; -1 when the list has none.
[[nodiscard]] int ColorListEntryOf(TColor color) noexcept;
/// The names on light bars are written in black, the others in white.
[[nodiscard]] bool ColorEntryHasDarkText(int entry) noexcept;

/// A drop-down list of the colour entries, each drawn as a bar of its colour with its name.
class TColorListBox : public QComboBox {
    Q_OBJECT
public:
    explicit TColorListBox(QWidget* parent = nullptr);

    /// Selects the first entry of color; a colour the list lacks leaves no entry selected (so
    /// that it cannot pass for another colour). Returns whether an entry shows it.
    bool ShowColor(TColor color);
    /// The selected entry's colour; fallback when none is selected.
    [[nodiscard]] TColor SelectedColor(TColor fallback) const noexcept;

protected:
    void paintEvent(QPaintEvent* event) override;
};

/// A whole-number field that takes no typing: its arrow buttons, Up and Down (1), PageUp and
/// PageDown (10) and the mouse wheel (1) change it. A value set outside the range becomes the
/// nearest bound.
class TStepOnlySpinBox : public QSpinBox {
    Q_OBJECT
public:
    TStepOnlySpinBox(int minimum, int maximum, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace xq
