// The font box's list: the font families installed, by the names that documents store.
#pragma once

#include <QString>
#include <QStringList>

namespace xq {

/// A family by the name a document stores: Qt writes a family that several foundries make as
/// "Family [Foundry]" (say "Nimbus Sans [URW ]"); the foundry is not part of the name.
[[nodiscard]] QString PlainFamilyName(const QString& qtFamily);

/// The entries of the font box for Qt's families: each family once by its plain name, together with
/// the document fonts whose metric-compatible stand-ins are installed ("Arial" for "Liberation Sans"),
/// sorted without regard to case.
[[nodiscard]] QStringList FontBoxFamilies(const QStringList& qtFamilies);

} // namespace xq
