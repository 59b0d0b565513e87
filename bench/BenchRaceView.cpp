// Choosing a race in the race index and showing it: selection, odds, prediction, then
// the race view cleared and filled; the largest race of the demo day.
#include "BenchTimer.h"

#include "app/DaySession.h"
#include "app/Settings.h"
#include "gui/window/RaceView.h"
#include "platform/WorkFolder.h"
#include "race/RaceBase.h"
#include "sampleday/SampleDays.h"

#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdlib>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
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
    return 0;
}
