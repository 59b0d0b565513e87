// Choosing a race in the race index and showing it: selection, odds, prediction, then
// the race view cleared and filled; and the pointer resting on a cell of the prediction
// grid until its explanation shows as a tooltip; the page once more with the figure
// chart shown. The largest race of the demo day.
#include "BenchTimer.h"

#include "session/DaySession.h"
#include "session/Settings.h"
#include "gui/widgets/StrCGrid.h"
#include "gui/window/RaceView.h"
#include "platform/WorkFolder.h"
#include "race/RaceBase.h"
#include "sampleday/SampleDays.h"

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>

#include <array>
#include <cstdlib>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // the offscreen platform warns at every tooltip that it cannot raise it
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false;default.warning=false");
    QApplication app(argc, argv);

    TWorkFolder folder;
    const std::filesystem::path archive = WriteDemoDay(folder.path());
    TSettings settings;
    settings.Folder.Time = (folder.path() / "time" / "").string();
    TDaySession session(settings);
    session.FocusCreate();
    session.OpenDay(archive.string());
    int largest = 0;
    int runners = 0;
    for (int i = 0; i < session.Race().RaceCount(); ++i) {
        session.PrepareRace(i, false);
        if (session.Race().RunnerCount() > runners) {
            runners = session.Race().RunnerCount();
            largest = i;
        }
    }

    QWidget window;
    window.resize(738, 496);
    auto* layout = new QVBoxLayout(&window);
    auto* title = new QLabel(&window);
    layout->addWidget(title);
    auto* pages = new QTabWidget(&window);
    layout->addWidget(pages, 1);
    QWidget* yosou = new QWidget;
    QWidget* odds = new QWidget;
    QWidget* cyo = new QWidget;
    pages->addTab(yosou, "yosou");
    pages->addTab(odds, "odds");
    pages->addTab(cyo, "cyo");
    TRaceView view(yosou, odds, cyo, title);
    view.SetUpHeadings();
    view.SetUpWidths(settings);
    window.show();

    std::printf("race %d, %d runners\n", largest + 1, runners);
    benchmark("PrepareRace (select, odds, prediction)", 200,
              [&] { session.PrepareRace(largest, true); });
    benchmark("Clear + Fill", 200, [&] {
        view.Clear();
        view.Fill(session);
    });
    benchmark("PrepareRace + Clear + Fill", 200, [&] {
        session.PrepareRace(largest, true);
        view.Clear();
        view.Fill(session);
    });
    benchmark("PrepareRace + Clear + Fill + paint the page", 100, [&] {
        session.PrepareRace(largest, true);
        view.Clear();
        view.Fill(session);
        if (yosou->grab().isNull())
            std::abort();
    });

    // the same with the figure chart below the grid drawing the current row's runner
    view.ActionGraph()->setChecked(true);
    benchmark("PrepareRace + Clear + Fill + paint + chart", 100, [&] {
        session.PrepareRace(largest, true);
        view.Clear();
        view.Fill(session);
        if (yosou->grab().isNull())
            std::abort();
    });
    view.ActionGraph()->setChecked(false);

    // From the tooltip event, which the platform sends once the pointer has rested on a
    // cell, to the tip on the screen: the last runner's cells, a different one each time.
    view.Clear();
    view.Fill(session);
    auto* gridYosou = yosou->findChild<TStrColGrid*>(QStringLiteral("GridYosou"));
    if (gridYosou == nullptr)
        std::abort();
    TStrColGrid& grid = *gridYosou;
    const int row = runners;
    const std::array<int, 6> cols{14, 13, 12, 11, 10, 8}; // five figures and the mark
    std::size_t next = 0;
    auto restOn = [&] {
        const TGridRect cell = grid.CellRect(cols[next++ % cols.size()], row);
        const QPoint at((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        QHelpEvent rest(QEvent::ToolTip, at, grid.viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid.viewport(), &rest);
        if (!QToolTip::isVisible())
            std::abort();
    };
    benchmark("tooltip of a cell, moving from another cell's", 300, restOn);
    benchmark("tooltip of a cell, none showing before", 50, restOn, [] {
        QToolTip::hideText(); // it fades out
        while (QToolTip::isVisible())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    });
    return 0;
}
