#pragma once

#include <QGroupBox>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QRadioButton;

// A frame of radio buttons in columns, one of which is chosen.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QStringList& items, int columns, QWidget* parent = nullptr);

    // The chosen item, -1 for none.
    int ItemIndex() const;
    // Chooses an item; an index past the last chooses the last, one below 0 none.
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const { return m_buttons.at(static_cast<std::size_t>(index)); }

private:
    QButtonGroup* m_group;
    std::vector<QRadioButton*> m_buttons;
};
