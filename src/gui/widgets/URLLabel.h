// TURLLabel: a label that opens its web address or mail address when clicked.
#pragma once

#include <QColor>
#include <QLabel>
#include <optional>

// A label that acts as a hyperlink: under the pointer it shows HotColor, while pressed
// PushedColor, and when Executable a left press opens its caption with the desktop
// (an address with '@' as mail).
class TURLLabel : public QLabel {
    Q_OBJECT

public:
    explicit TURLLabel(QWidget* parent = nullptr);
    explicit TURLLabel(const QString& caption, QWidget* parent = nullptr);

    bool Executable() const { return m_executable; }
    void SetExecutable(bool on) { m_executable = on; }
    bool HotTrack() const { return m_hotTrack; }
    void SetHotTrack(bool on);
    QColor HotColor() const { return m_hotColor; }
    void SetHotColor(const QColor& color);
    QColor PushedColor() const { return m_pushedColor; }
    void SetPushedColor(const QColor& color);

    // The text colour shown now.
    QColor FontColor() const;
    void SetFontColor(const QColor& color);

    // What a caption opens: "mailto:" is put in front of a caption that holds '@' and
    // does not already hold "mailto:".
    static QString ShellTarget(const QString& caption);

signals:
    // Every button press, after the label's own handling; the about box's copy menu
    // listens for the right button.
    void pressed(Qt::MouseButton button, const QPoint& globalPosition);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void rememberColor();

    bool m_executable = false;
    bool m_hotTrack = true;
    QColor m_hotColor{0x00, 0xFF, 0xFF};    // aqua
    QColor m_pushedColor{0xFF, 0x00, 0x00}; // red
    // The colour before the pointer came in; none while the label shows its own colour.
    std::optional<QColor> m_remembered;
};
