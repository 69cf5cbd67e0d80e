#pragma once

#include <QString>
#include <QStringList>

class QApplication;

// The named looks of the program ("SoftSkin"): a style, a palette and a few style rules for
// the bars, docks and tabs. "Office 2007 Blue" is the default and the fallback.
namespace Skins {

QStringList SkinNames();
QString DefaultSkin();
// Applies `name`, or the default when the name is unknown; returns the name applied.
QString ApplySkin(const QString &name);
QString CurrentSkin();

} // namespace Skins
