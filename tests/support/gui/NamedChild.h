#pragma once

#include <QDialog>
#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

namespace namedChildDetail {

// The objects of type under parent with that name, at any depth; a dialog below parent
// is a window of its own, so its widgets are not counted as parent's.
inline void collect(const QObject& parent, const QString& name, const QMetaObject& type,
                    QObjectList& found) {
    for (QObject* object : parent.children()) {
        if (object->objectName() == name && type.cast(object) != nullptr)
            found.append(object);
        if (qobject_cast<QDialog*>(object) == nullptr)
            collect(*object, name, type, found);
    }
}

} // namespace namedChildDetail

// The one T named name under parent, as a test finds a widget the window keeps to
// itself. Fails the test, naming what was looked for, when there is none or more than
// one.
template <typename T> T* child(const QObject& parent, const char* name) {
    QObjectList found;
    namedChildDetail::collect(parent, QString::fromLatin1(name), T::staticMetaObject, found);
    if (found.size() == 1)
        return qobject_cast<T*>(found.front());
    // thrown, so that the test ends here with this message and the next test runs
    throw std::logic_error((found.isEmpty() ? std::string("no") : std::to_string(found.size())) +
                           " " + T::staticMetaObject.className() + " named \"" + name +
                           "\" under \"" + parent.objectName().toStdString() + "\"");
}
