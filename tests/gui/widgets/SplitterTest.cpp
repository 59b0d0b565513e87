#include "gui/widgets/Splitter.h"

#include <QHBoxLayout>
#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace {

void send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

TEST(Splitter, ADragResizesThePaneWithinItsBounds) {
    QWidget window;
    auto* pane = new QWidget(&window);
    pane->setFixedWidth(120);
    auto* bar = new TSplitter(pane, &window);
    auto* rest = new QWidget(&window);
    auto* layout = new QHBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pane);
    layout->addWidget(bar);
    layout->addWidget(rest, 1);
    window.resize(400, 200);
    window.show();
    ASSERT_EQ(bar->x(), 120);
    EXPECT_EQ(bar->width(), TSplitter::kWidth);

    const struct {
        int dx;
        int width;
    } drags[] = {
        {40, 160},                            // wider
        {-70, 90},                            // narrower
        {-100, 30},                           // never below MinSize
        {1000, 400 - TSplitter::kWidth - 30}, // the neighbour keeps MinSize
    };
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.dx);
        const QPoint grip(1, 50);
        const QPoint to = grip + QPoint(drag.dx, 0);
        send(bar, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
        send(bar, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(bar, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        EXPECT_EQ(pane->width(), drag.width);
        layout->activate();
    }
}
