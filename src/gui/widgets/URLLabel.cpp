// TURLLabel: a label that opens its web address or mail address when clicked.
#include "gui/widgets/URLLabel.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QUrl>

TURLLabel::TURLLabel(QWidget* parent) : TURLLabel(QString(), parent) {}

TURLLabel::TURLLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
}

void TURLLabel::SetHotTrack(bool on) {
    if (on == m_hotTrack)
        return;
    m_hotTrack = on;
    update();
}

void TURLLabel::SetHotColor(const QColor& color) {
    if (color == m_hotColor)
        return;
    m_hotColor = color;
    update();
}

void TURLLabel::SetPushedColor(const QColor& color) {
    if (color == m_pushedColor)
        return;
    m_pushedColor = color;
    update();
}

QColor TURLLabel::FontColor() const {
    return palette().color(QPalette::WindowText);
}

void TURLLabel::SetFontColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
}

QString TURLLabel::ShellTarget(const QString& caption) {
    if (caption.contains(QLatin1Char('@')) && !caption.contains(QLatin1String("mailto:")))
        return QLatin1String("mailto:") + caption;
    return caption;
}

void TURLLabel::rememberColor() {
    if (!m_remembered)
        m_remembered = FontColor();
}

void TURLLabel::enterEvent(QEnterEvent* event) {
    if (m_hotTrack) {
        rememberColor();
        SetFontColor(m_hotColor);
    }
    QLabel::enterEvent(event);
}

void TURLLabel::leaveEvent(QEvent* event) {
    if (m_hotTrack && m_remembered) {
        SetFontColor(*m_remembered);
        m_remembered.reset();
    }
    QLabel::leaveEvent(event);
}

void TURLLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (m_hotTrack) {
            rememberColor(); // a press without an enter, as from the keyboard's mouse keys
            SetFontColor(m_pushedColor);
        }
        if (m_executable)
            QDesktopServices::openUrl(QUrl(ShellTarget(text()), QUrl::TolerantMode));
    }
    QLabel::mousePressEvent(event);
    emit pressed(event->button(), event->globalPosition().toPoint());
}

void TURLLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_hotTrack) {
        if (rect().contains(event->position().toPoint())) {
            SetFontColor(m_hotColor);
        } else if (m_remembered) {
            SetFontColor(*m_remembered);
            m_remembered.reset();
        }
    }
    QLabel::mouseReleaseEvent(event);
}
