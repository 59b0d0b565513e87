#include "gui/support/Images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>

#include <cmath>
#include <functional>
#include <numbers>

// A resource file linked from a static library registers only when asked to. Outside any
// namespace, since the macro declares the registering function in the current one.
static void initResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(ruvpelton);
        return true;
    }();
    (void)done;
}

QIcon ProgramIcon() {
    initResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/ruvpelton/ruvpelton-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/ruvpelton/ruvpelton.png"), QSize(256, 256));
    return icon;
}

QPixmap LogoImage() {
    initResources();
    return QPixmap(QStringLiteral(":/ruvpelton/logo.png"));
}

namespace {

// Every small picture is drawn on a 16 x 16 grid; a pixel's centre is at n + 0.5.
constexpr double kGrid = 16.0;

// The program's colours: the turf green of the icon and the logo, and a few plain ones.
const QColor kTurf(0x2e, 0x7d, 0x32);
const QColor kTurfDark(0x1b, 0x5e, 0x20);
const QColor kFolder(0xf5, 0xc2, 0x42);
const QColor kFolderDark(0xb0, 0x80, 0x10);
const QColor kBlue(0x1e, 0x5a, 0xb4);
const QColor kBlueDark(0x10, 0x3a, 0x7a);
const QColor kRed(0xc6, 0x28, 0x28);
const QColor kGrey(0x60, 0x66, 0x6e);
const QColor kPaper(0xfc, 0xfc, 0xfa);
const QColor kInk(0x40, 0x40, 0x40);

QPen pen(const QColor& color, double width = 1.0) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawFolderBack(QPainter& p) {
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6.0, 3.5);
    back.lineTo(7.5, 5.0);
    back.lineTo(13.5, 5.0);
    back.lineTo(13.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.setPen(pen(kFolderDark));
    p.setBrush(kFolder.darker(112));
    p.drawPath(back);
}

// An opened folder: its front flap tilted forward.
void drawOpen(QPainter& p) {
    drawFolderBack(p);
    p.setPen(pen(kPaper.darker(105)));
    p.setBrush(kPaper);
    p.drawRect(QRectF(3.5, 6.5, 8.0, 5.0));
    QPolygonF flap{{1.5, 13.5}, {3.5, 7.5}, {15.0, 7.5}, {13.0, 13.5}};
    p.setPen(pen(kFolderDark));
    p.setBrush(kFolder);
    p.drawPolygon(flap);
}

// A closed folder with a red cross: the day is put away.
void drawClose(QPainter& p) {
    drawFolderBack(p);
    p.setPen(pen(kFolderDark));
    p.setBrush(kFolder);
    p.drawRect(QRectF(1.5, 6.5, 12.0, 7.0));
    p.setPen(pen(kRed, 2.0));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14.0, 14.0));
    p.drawLine(QPointF(14.0, 9.5), QPointF(9.5, 14.0));
}

// A blue book with its pages and a question mark: the help file.
void drawContents(QPainter& p) {
    p.setPen(pen(kBlueDark));
    p.setBrush(kPaper);
    p.drawRect(QRectF(3.5, 2.5, 10.0, 12.0));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(2.5, 1.5, 10.0, 12.0), 1.0, 1.0);
    p.setPen(pen(Qt::white, 1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(5.6, 5.4);
    hook.cubicTo(5.6, 3.0, 9.6, 3.0, 9.6, 5.4);
    hook.cubicTo(9.6, 7.2, 7.6, 7.0, 7.6, 8.8);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(7.6, 11.0), 1.0, 1.0);
}

// A blue disc with a white "i".
void drawAbout(QPainter& p) {
    p.setPen(pen(kBlueDark));
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(8.0, 8.0), 6.5, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8.0, 4.8), 1.2, 1.2);
    p.drawRoundedRect(QRectF(6.9, 6.8, 2.2, 5.8), 0.8, 0.8);
}

// An open door and a green arrow leaving through it.
void drawExit(QPainter& p) {
    p.setPen(pen(kInk));
    p.setBrush(QColor(0xe8, 0xe4, 0xdc));
    p.drawRect(QRectF(1.5, 1.5, 8.0, 13.0));
    QPolygonF door{{1.5, 1.5}, {6.5, 3.0}, {6.5, 15.5}, {1.5, 14.5}};
    p.setBrush(QColor(0x8d, 0x5a, 0x2b));
    p.drawPolygon(door);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd5, 0x4f));
    p.drawEllipse(QPointF(5.2, 9.0), 0.7, 0.7);
    QPolygonF arrow{{8.0, 6.5},   {11.5, 6.5}, {11.5, 4.0}, {15.5, 8.0},
                    {11.5, 12.0}, {11.5, 9.5}, {8.0, 9.5}};
    p.setPen(pen(kTurfDark));
    p.setBrush(QColor(0x43, 0xa0, 0x47));
    p.drawPolygon(arrow);
}

// A list of races: green bullets before lines of text.
void drawRaceIndex(QPainter& p) {
    p.setPen(pen(kInk.lighter(150)));
    p.setBrush(kPaper);
    p.drawRect(QRectF(0.5, 1.5, 15.0, 13.0));
    for (int row = 0; row < 3; ++row) {
        const double top = 3.0 + row * 4.0; // two pixels high, on whole pixels
        p.setPen(Qt::NoPen);
        p.setBrush(kTurf);
        p.drawRect(QRectF(2.0, top, 2.0, 2.0));
        p.setBrush(kInk.lighter(140));
        p.drawRect(QRectF(5.0, top, row == 1 ? 6.0 : 9.0, 2.0));
    }
}

// A grey gear.
void drawSettings(QPainter& p) {
    constexpr int kTeeth = 8;
    QPolygonF gear;
    for (int i = 0; i < kTeeth * 4; ++i) {
        const double angle = (i - 0.5) * std::numbers::pi * 2.0 / (kTeeth * 4);
        const double radius = (i % 4 == 0 || i % 4 == 1) ? 7.3 : 5.4;
        gear << QPointF(8.0 + radius * std::cos(angle), 8.0 + radius * std::sin(angle));
    }
    p.setPen(pen(kGrey.darker(140)));
    p.setBrush(kGrey);
    p.drawPolygon(gear);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(8.0, 8.0), 2.3, 2.3);
}

// The horse-name list: bracket colours before the names.
void drawHorseNames(QPainter& p) {
    p.setPen(pen(kInk.lighter(150)));
    p.setBrush(kPaper);
    p.drawRect(QRectF(0.5, 0.5, 15.0, 15.0));
    // brackets 1 to 4: white (shown light grey on the white card), black, red, blue
    const QColor brackets[] = {QColor(0xd8, 0xd8, 0xd8), Qt::black, kRed, kBlue};
    for (int row = 0; row < 4; ++row) {
        const double top = 3.0 + row * 3.0; // two pixels high, on whole pixels
        p.setPen(Qt::NoPen);
        p.setBrush(brackets[row]);
        p.drawRect(QRectF(2.0, top, 3.0, 2.0));
        p.setBrush(kInk.lighter(140));
        p.drawRect(QRectF(6.0, top, row % 2 ? 5.0 : 8.0, 2.0));
    }
}

// A venue: an oval turf course with its white rail.
void drawVenue(QPainter& p) {
    p.setPen(pen(kTurfDark));
    p.setBrush(kTurf);
    p.drawRoundedRect(QRectF(0.5, 3.5, 15.0, 9.0), 4.5, 4.5);
    p.setPen(pen(Qt::white, 1.0));
    p.setBrush(QColor(0x81, 0xc7, 0x84));
    p.drawRoundedRect(QRectF(3.5, 6.0, 9.0, 4.0), 2.0, 2.0);
}

// A race: a race card with the blue band of its heading.
void drawRace(QPainter& p) {
    p.setPen(pen(kInk.lighter(150)));
    p.setBrush(kPaper);
    p.drawRect(QRectF(2.5, 1.5, 11.0, 13.0));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(3.0, 2.0, 10.0, 3.0));
    p.setPen(pen(kInk, 1.0));
    for (double y : {7.5, 10.0, 12.5})
        p.drawLine(QPointF(4.5, y), QPointF(y == 10.0 ? 9.5 : 11.5, y));
}

QIcon drawnIcon(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / kGrid, size / kGrid);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QList<QIcon> CommandImages() {
    // in image-number order
    return {drawnIcon(drawOpen),     drawnIcon(drawClose),     drawnIcon(drawContents),
            drawnIcon(drawAbout),    drawnIcon(drawExit),      drawnIcon(drawRaceIndex),
            drawnIcon(drawSettings), drawnIcon(drawHorseNames)};
}

QList<QIcon> NodeImages() {
    return {drawnIcon(drawVenue), drawnIcon(drawRace)};
}
