#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of arrow buttons bound to an entry that holds a number, like a spin box whose
// entry the user cannot type into. Each click reads the entry, steps by one within
// Min..Max and writes the number back, so the entry's change handler runs.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(QLineEdit* associate, int min, int max, QWidget* parent = nullptr);

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    // Sets the position, kept within Min..Max, and shows it in the entry.
    void SetPosition(int position);

    QToolButton* ButtonUp;
    QToolButton* ButtonDown;

private:
    void step(int delta);

    QLineEdit* m_associate;
    int m_min;
    int m_max;
    int m_position;
};
