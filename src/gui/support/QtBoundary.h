#pragma once

#include "view/StrCGridModel.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <string>

// The one place where the program's CP932 texts and 0xRRGGBB colours meet Qt's.

// A text of the program's own, written in UTF-8 in the source.
inline QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A CP932 text for a widget; a byte that does not decode shows as U+FFFD.
QString qsjis(const std::string& cp932);
// A widget's text as CP932; throws EConvertError when a character has no CP932 form.
std::string sjisOf(const QString& text);

QColor toQColor(TColor color);
TColor toTColor(const QColor& color);

// The installed face that stands in for a Windows face named in CP932 (ＭＳ ゴシック,
// ＭＳ Ｐゴシック, ＭＳ 明朝, ＭＳ Ｐ明朝); any other name is used as it is.
QString MappedFontFace(const std::string& cp932Face);
// That face at a size in points.
QFont MappedFont(const std::string& cp932Face, int pointSize);

class QWidget;

// Moves a window so that its frame stands in the middle of its screen's free area.
void CentreOnScreen(QWidget& window);
