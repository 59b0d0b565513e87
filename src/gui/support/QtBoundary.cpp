#include "gui/support/QtBoundary.h"

#include "platform/Cp932.h"

#include <QScreen>
#include <QWidget>

#include <array>
#include <utility>

QString qsjis(const std::string& cp932) {
    return QString::fromStdString(toUtf8Lenient(cp932));
}

std::string sjisOf(const QString& text) {
    return toCp932(text.toStdString());
}

QColor toQColor(TColor color) {
    return QColor(static_cast<int>((color >> 16) & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>(color & 0xFF));
}

TColor toTColor(const QColor& color) {
    const QRgb rgb = color.rgb();
    return (static_cast<TColor>(qRed(rgb)) << 16) | (static_cast<TColor>(qGreen(rgb)) << 8) |
           static_cast<TColor>(qBlue(rgb));
}

QString MappedFontFace(const std::string& cp932Face) {
    static const std::array<std::pair<const char*, const char*>, 4> faces{{
        {"ＭＳ ゴシック", "IPAGothic"},
        {"ＭＳ Ｐゴシック", "IPAPGothic"},
        {"ＭＳ 明朝", "IPAMincho"},
        {"ＭＳ Ｐ明朝", "IPAPMincho"},
    }};
    for (const auto& [windowsFace, face] : faces)
        if (cp932Face == sjis(windowsFace))
            return QString::fromLatin1(face);
    return qsjis(cp932Face);
}

QFont MappedFont(const std::string& cp932Face, int pointSize) {
    QFont font(MappedFontFace(cp932Face));
    font.setPointSize(pointSize);
    return font;
}

void CentreOnScreen(QWidget& window) {
    if (const QScreen* s = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        window.move(frame.topLeft());
    }
}
