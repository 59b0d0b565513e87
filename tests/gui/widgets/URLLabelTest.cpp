#include "gui/widgets/URLLabel.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Takes the place of the desktop for the schemes it is registered for.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

struct Desktop {
    UrlRecorder recorder;
    Desktop() {
        for (const char* scheme : {"mailto", "http", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "open");
    }
    ~Desktop() {
        for (const char* scheme : {"mailto", "http", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
};

void enter(QWidget* w) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(w, &event);
}

void leave(QWidget* w) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(w, &event);
}

} // namespace

TEST(URLLabel, ShellTargetPutsMailtoBeforeMailAddresses) {
    const std::pair<const char*, const char*> cases[] = {
        {"ruv@example.jp", "mailto:ruv@example.jp"},
        {"mailto:ruv@example.jp", "mailto:ruv@example.jp"},
        {"https://example.jp/ruv/", "https://example.jp/ruv/"},
        {"https://example.jp/~a@b", "mailto:https://example.jp/~a@b"}, // any '@' means mail
        {"MAILTO:ruv@example.jp", "mailto:MAILTO:ruv@example.jp"},
    };
    for (const auto& [caption, target] : cases)
        EXPECT_EQ(TURLLabel::ShellTarget(QString::fromLatin1(caption)),
                  QString::fromLatin1(target));
}

TEST(URLLabel, AnExecutableLabelOpensItsCaption) {
    Desktop desktop;
    TURLLabel label(QStringLiteral("ruv@example.jp"));
    label.SetExecutable(true);
    label.show();
    QTest::mouseClick(&label, Qt::LeftButton);
    label.setText(QStringLiteral("https://example.jp/ruv/"));
    QTest::mouseClick(&label, Qt::LeftButton);
    QTest::mouseClick(&label, Qt::RightButton); // only the left button opens
    ASSERT_EQ(desktop.recorder.opened.size(), 2);
    EXPECT_EQ(desktop.recorder.opened[0], QUrl(QStringLiteral("mailto:ruv@example.jp")));
    EXPECT_EQ(desktop.recorder.opened[1], QUrl(QStringLiteral("https://example.jp/ruv/")));
}

TEST(URLLabel, TracksThePointerWithItsColours) {
    Desktop desktop;
    TURLLabel label(QStringLiteral("https://example.jp/"));
    EXPECT_FALSE(label.Executable());
    EXPECT_TRUE(label.HotTrack());
    EXPECT_EQ(label.HotColor(), QColor(0, 255, 255));
    EXPECT_EQ(label.PushedColor(), QColor(255, 0, 0));
    const QColor blue(0, 0, 255);
    label.SetFontColor(blue);
    label.SetPushedColor(QColor(255, 0, 255));
    label.show();

    enter(&label);
    EXPECT_EQ(label.FontColor(), QColor(0, 255, 255));
    QTest::mousePress(&label, Qt::LeftButton);
    EXPECT_EQ(label.FontColor(), QColor(255, 0, 255));
    QTest::mouseRelease(&label, Qt::LeftButton); // inside: hot again
    EXPECT_EQ(label.FontColor(), QColor(0, 255, 255));
    leave(&label);
    EXPECT_EQ(label.FontColor(), blue);
    EXPECT_TRUE(desktop.recorder.opened.isEmpty()); // not executable: colours only

    QTest::mousePress(&label, Qt::LeftButton);
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(-5, -5)); // outside: restored
    EXPECT_EQ(label.FontColor(), blue);

    label.SetHotTrack(false);
    enter(&label);
    QTest::mousePress(&label, Qt::LeftButton);
    EXPECT_EQ(label.FontColor(), blue);
}

#include "URLLabelTest.moc"
