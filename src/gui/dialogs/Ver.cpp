// TFormVer: the about box (バージョン情報).
#include "gui/dialogs/Ver.h"

#include "gui/support/Images.h"
#include "gui/support/QtBoundary.h"
#include "gui/widgets/URLLabel.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kIconSize = 32;

QLabel* makeLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

TURLLabel* makeLink(const char* name, const char* address, int tag, const QString& hint,
                    QWidget* parent) {
    auto* label = new TURLLabel(QString::fromUtf8(address), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setProperty("Tag", tag);
    label->setToolTip(hint);
    label->setStatusTip(hint);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    label->SetFontColor(Qt::blue);
    label->SetExecutable(true);
    label->SetHotColor(Qt::red);
    label->SetPushedColor(QColor(0xFF, 0x00, 0xFF)); // fuchsia
    return label;
}

} // namespace

TFormVer::TFormVer(const std::filesystem::path& programFile, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_programFile(programFile) {
    setObjectName(QStringLiteral("FormVer"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setModal(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(kIconSize, kIconSize);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // the designed texts, kept when the program file carries no version record
    Label1 = makeLabel("Label1", QStringLiteral("RUV PELTON"), this);
    Label2 = makeLabel("Label2", QStringLiteral("Version"), this);
    Label3 = makeLabel("Label3", QStringLiteral("Copyright"), this);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    LabelHomePage = makeLabel("LabelHomePage", QStringLiteral("サポートHP"), this);
    URLLabel1 = makeLink("URLLabel1", kHomePage, 1, QStringLiteral("作者のホームページです"), this);
    LabelMail = makeLabel("LabelMail", QStringLiteral("E-mail"), this);
    URLLabel2 = makeLink("URLLabel2", kMail, 2, QStringLiteral("作者のメールアドレスです"), this);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    MCopy = PopupMenu1->addAction(QStringLiteral("コピー"));
    MCopy->setObjectName(QStringLiteral("MCopy"));

    connect(Button1, &QPushButton::clicked, this, &TFormVer::Button1Click);
    connect(MCopy, &QAction::triggered, this, &TFormVer::MCopyClick);
    for (TURLLabel* link : {URLLabel1, URLLabel2})
        connect(link, &TURLLabel::pressed, this,
                [this, link](Qt::MouseButton button, const QPoint& globalPosition) {
                    URLLabelMouseDown(link, button, globalPosition);
                });

    auto* texts = new QVBoxLayout;
    texts->addWidget(Label1);
    texts->addWidget(Label2);
    texts->addWidget(Label3);
    auto* heading = new QHBoxLayout;
    heading->addWidget(Image1, 0, Qt::AlignTop);
    heading->addSpacing(12);
    heading->addLayout(texts, 1);
    auto* links = new QGridLayout;
    links->setHorizontalSpacing(12);
    links->addWidget(LabelHomePage, 0, 0);
    links->addWidget(URLLabel1, 0, 1);
    links->addWidget(LabelMail, 1, 0);
    links->addWidget(URLLabel2, 1, 1);
    links->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(heading);
    layout->addSpacing(10);
    layout->addLayout(links);
    layout->addSpacing(10);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
}

TFormVer::~TFormVer() {
    giveHintBack();
}

void TFormVer::FormCreate() {
    Image1->setPixmap(ProgramIcon().pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF()));
    m_verInf = std::make_unique<TVerInf>(m_programFile);
    if (!m_verInf->Valid())
        return;
    Label1->setText(qsjis(m_verInf->Value(TVerInf::kProductName)));
    Label2->setText(QStringLiteral("Version ") + qsjis(m_verInf->Value(TVerInf::kFileVersion)));
    Label3->setText(qsjis(m_verInf->Value(TVerInf::kLegalCopyright)));
}

void TFormVer::FormShow() {
    if (!m_hintTaken) {
        m_savedHint = TAppHint::SetOnHint({});
        m_hintTaken = true;
    }
}

void TFormVer::Button1Click() {
    giveHintBack();
    accept();
}

void TFormVer::URLLabelMouseDown(TURLLabel* sender, Qt::MouseButton button,
                                 const QPoint& globalPosition) {
    if (button != Qt::RightButton)
        return;
    m_popupTag = sender->property("Tag").toInt();
    PopupMenu1->popup(globalPosition);
}

void TFormVer::MCopyClick() {
    const TURLLabel* source = m_popupTag == 1 ? URLLabel1 : m_popupTag == 2 ? URLLabel2 : nullptr;
    if (source != nullptr)
        QGuiApplication::clipboard()->setText(source->text());
}

// Escape and the window manager close the box without OK; the hint handler comes back
// all the same, or the status bar would stay silent for the rest of the run.
void TFormVer::done(int result) {
    giveHintBack();
    QDialog::done(result);
}

void TFormVer::giveHintBack() {
    if (m_hintTaken) {
        TAppHint::SetOnHint(std::move(m_savedHint));
        m_savedHint = nullptr;
        m_hintTaken = false;
    }
}

void TFormVer::showEvent(QShowEvent* event) {
    FormShow();
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}
