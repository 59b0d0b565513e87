#include "app/window/Run.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    return RunPelton(ProgramEnvironment());
}
