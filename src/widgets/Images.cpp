#include "widgets/Images.h"

#include <QString>

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
