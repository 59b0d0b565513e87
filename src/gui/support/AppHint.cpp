#include "gui/support/AppHint.h"

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QStatusTipEvent>

#include <utility>

namespace {

// Sees every status tip first, wherever it is sent, and ends its way up the widget tree.
class THintFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::StatusTip)
            return QObject::eventFilter(watched, event);
        hint = static_cast<QStatusTipEvent*>(event)->tip();
        if (handler)
            handler(hint);
        return true;
    }

    QString hint;
    TAppHint::THandler handler;
};

THintFilter& filter() {
    // made once, with the application as parent, so it ends with the application
    static THintFilter* instance = [] {
        auto* made = new THintFilter;
        made->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(made);
        return made;
    }();
    return *instance;
}

} // namespace

QString TAppHint::Hint() {
    return filter().hint;
}

const TAppHint::THandler& TAppHint::OnHint() {
    return filter().handler;
}

TAppHint::THandler TAppHint::SetOnHint(THandler handler) {
    return std::exchange(filter().handler, std::move(handler));
}
