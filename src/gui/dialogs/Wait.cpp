// TFormWait: the progress dialog of the output commands.
#include "gui/dialogs/Wait.h"

#include "platform/Cancel.h"

#include "gui/support/QtBoundary.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kLabelPixelSize = 15;

QLabel* makeLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(kLabelPixelSize);
    label->setFont(font);
    return label;
}

} // namespace

TFormWait::TFormWait(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("FormWait"));
    setWindowTitle(QStringLiteral(" "));
    setModal(false);
    m_label1 = makeLabel(QStringLiteral("データ処理中"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_progressBar1 = new QProgressBar(this);
    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar1->setTextVisible(false);
    m_label2 = makeLabel(QString(), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_buttonCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_buttonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    m_buttonCancel->setAutoDefault(false);
    connect(m_buttonCancel, &QPushButton::clicked, this, &TFormWait::ButtonCancelClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_buttonCancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label1);
    layout->addWidget(m_progressBar1);
    layout->addWidget(m_label2);
    layout->addLayout(buttons);
    setMinimumWidth(320);
}

void TFormWait::SetTotal(int total) {
    m_progressBar1->setMaximum(total);
    m_progressBar1->setValue(0);
    m_label2->clear();
}

void TFormWait::SetProgress(int position, const QString& count) {
    m_progressBar1->setValue(position);
    m_label2->setText(count);
}

void TFormWait::FormShow() {
    CancelRequested() = false;
}

void TFormWait::ButtonCancelClick() {
    CancelRequested() = true;
}

void TFormWait::reject() {
    ButtonCancelClick();
}

void TFormWait::showEvent(QShowEvent* event) {
    FormShow();
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}
