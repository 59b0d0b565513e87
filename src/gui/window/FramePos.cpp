// TFramePos: the window positions kept in the settings file (or the user's settings).
#include "gui/window/FramePos.h"

#include "session/Settings.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QStringList>
#include <QToolBar>

#include <array>
#include <memory>
#include <optional>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr const char* kPosSection = "Pos";
constexpr const char* kDefaultCompany = "ZAQ";

constexpr std::array<std::pair<Qt::ToolBarArea, const char*>, 4> kAreaNames{{
    {Qt::TopToolBarArea, "TopToolBarArea"},
    {Qt::BottomToolBarArea, "BottomToolBarArea"},
    {Qt::LeftToolBarArea, "LeftToolBarArea"},
    {Qt::RightToolBarArea, "RightToolBarArea"},
}};

std::string areaName(Qt::ToolBarArea area) {
    for (const auto& [a, name] : kAreaNames)
        if (a == area)
            return name;
    return TToolBarPlacement::kFloatingSite;
}

std::optional<Qt::ToolBarArea> areaByName(const std::string& name) {
    for (const auto& [a, n] : kAreaNames)
        if (name == n)
            return a;
    return std::nullopt;
}

fs::path programFile() {
    if (QCoreApplication::instance() == nullptr)
        return {};
    return fs::path(QCoreApplication::applicationFilePath().toStdString());
}

// The settings store of a key path below "Software": the first level is the organization,
// the second the application (the layout QSettings itself gives the registry on Windows:
// Software, Organization, Application), further levels become groups in front of "Pos".
struct RegistryKey {
    QString organization;
    QString application;
    QString group;
};

RegistryKey registryKey(const std::string& keyName) {
    QString path = keyName.empty() ? QString(kDefaultCompany) + '/' +
                                         QString::fromStdString(programFile().stem().string())
                                   : QString::fromStdString(keyName);
    path.replace('\\', '/');
    QStringList levels = path.split('/', Qt::SkipEmptyParts);
    RegistryKey key;
    if (!levels.isEmpty())
        key.organization = levels.takeFirst();
    if (!levels.isEmpty())
        key.application = levels.takeFirst();
    levels.append(kPosSection);
    key.group = levels.join('/');
    return key;
}

std::unique_ptr<QSettings> openRegistry(const RegistryKey& key) {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       key.organization, key.application);
}

QRect rectOf(const TFormPlacement& p) {
    return QRect(p.Left, p.Top, p.Right - p.Left, p.Bottom - p.Top);
}

// A rectangle that lies on no screen is moved to the top left of the widget's screen.
QRect ontoScreen(QRect rect, const QWidget& widget) {
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(rect))
            return rect;
    const QScreen* screen = widget.screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen != nullptr)
        rect.moveTopLeft(screen->availableGeometry().topLeft());
    return rect;
}

TFormPlacement formPlacement(const QWidget& form) {
    QRect normal = form.normalGeometry();
    if (!normal.isValid())
        normal = form.geometry();
    TFormPlacement p;
    p.Left = normal.left();
    p.Top = normal.top();
    p.Right = normal.left() + normal.width();
    p.Bottom = normal.top() + normal.height();
    if (form.isMinimized())
        p.State = TFormPlacement::kMinimized;
    else if (form.isMaximized() || form.isFullScreen())
        p.State = TFormPlacement::kMaximized;
    return p;
}

TToolBarPlacement toolBarPlacement(const QMainWindow& window, const QToolBar& toolBar) {
    TToolBarPlacement p;
    const QRect g = toolBar.geometry();
    p.Visible = !toolBar.isHidden();
    p.Docked = !toolBar.isFloating();
    p.Top = g.top();
    p.Left = g.left();
    const QSize undocked = p.Docked ? toolBar.sizeHint() : g.size();
    p.UndockWidth = undocked.width();
    p.UndockHeight = undocked.height();
    p.DockHeight = p.DockWidth = toolBar.orientation() == Qt::Horizontal ? g.height() : g.width();
    p.DockSite = p.Docked ? areaName(window.toolBarArea(&toolBar))
                          : std::string(TToolBarPlacement::kFloatingSite);
    return p;
}

// Tears the tool bar off into a window of its own, as a drag out of its area does.
void floatToolBar(QToolBar& toolBar, QRect rect) {
    if (rect.width() <= 0)
        rect.setWidth(toolBar.sizeHint().width());
    if (rect.height() <= 0)
        rect.setHeight(toolBar.sizeHint().height());
    toolBar.hide();
    toolBar.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    toolBar.setGeometry(ontoScreen(rect, toolBar));
}

} // namespace

TFramePos::TFramePos(QWidget* owner) : m_owner(owner) {
    if (owner == nullptr || !owner->isWindow())
        throw EFramePosError("TFramePos: Owner must be a FORM");
    const fs::path program = programFile();
    if (!program.empty())
        IniFile = SettingsFilePath(program);
}

void TFramePos::WritePosValue(const std::string& name, const std::string& text) {
    if (UseIni) {
        WritePrivateProfileString(kPosSection, name, text, IniFile);
        return;
    }
    const RegistryKey key = registryKey(KeyName);
    std::unique_ptr<QSettings> store = openRegistry(key);
    store->setValue(key.group + '/' + QString::fromStdString(toUtf8(name)),
                    QString::fromStdString(toUtf8(text)));
    store->sync();
    if (store->status() != QSettings::NoError)
        throw InOutError("書き込み", store->fileName().toStdString(), sjis("設定を保存できません"));
}

std::string TFramePos::ReadPosValue(const std::string& name) const {
    if (UseIni)
        return GetPrivateProfileString(kPosSection, name, "", IniFile);
    const RegistryKey key = registryKey(KeyName);
    std::unique_ptr<QSettings> store = openRegistry(key);
    const QVariant value = store->value(key.group + '/' + QString::fromStdString(toUtf8(name)));
    // the store reads an unquoted text with commas as a list
    const QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(',')
                                                                  : value.toString();
    return toCp932Lenient(text.toStdString());
}

void TFramePos::SaveFormPos() {
    WritePosValue(formName(), FormPosText(formPlacement(*m_owner)));
}

void TFramePos::LoadFormPos() {
    const std::string name = formName();
    TFormPlacement p = formPlacement(*m_owner);
    if (!ApplyFormPosText(ReadPosValue(name), p))
        return;

    // the normal rectangle can only be set while the window is in the normal state
    const Qt::WindowStates special =
        Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    if (m_owner->windowState() & special)
        m_owner->setWindowState(m_owner->windowState() & ~special);
    const QRect normal = rectOf(p);
    if (normal.width() > 0 && normal.height() > 0)
        m_owner->setGeometry(ontoScreen(normal, *m_owner));

    const bool visible = m_owner->isVisible();
    switch (p.State) {
    case TFormPlacement::kMinimized:
        visible ? m_owner->showMinimized() : m_owner->setWindowState(Qt::WindowMinimized);
        break;
    case TFormPlacement::kMaximized:
        visible ? m_owner->showMaximized() : m_owner->setWindowState(Qt::WindowMaximized);
        break;
    default:
        if (visible)
            m_owner->showNormal();
        break;
    }
}

void TFramePos::SaveToolBarPos(QToolBar* toolBar) {
    const QMainWindow& window = mainWindowOf(toolBar);
    WritePosValue(toolBarName(*toolBar), ToolBarPosText(toolBarPlacement(window, *toolBar)));
}

void TFramePos::LoadToolBarPos(QToolBar* toolBar) {
    QMainWindow& window = mainWindowOf(toolBar);
    TToolBarPlacement p = toolBarPlacement(window, *toolBar);
    if (!ApplyToolBarPosText(ReadPosValue(toolBarName(*toolBar)), p))
        return;

    if (p.Docked) {
        const Qt::ToolBarArea present = window.toolBarArea(toolBar);
        const Qt::ToolBarArea area = areaByName(p.DockSite).value_or(present);
        if (toolBar->isFloating() || area != present)
            window.addToolBar(area, toolBar);
    } else {
        floatToolBar(*toolBar, QRect(p.Left, p.Top, p.UndockWidth, p.UndockHeight));
    }
    toolBar->setVisible(p.Visible);
}

std::string TFramePos::formName() const {
    const std::string name = m_owner->objectName().toStdString();
    if (name.empty())
        throw EFramePosError("TFramePos: Owner must have a name");
    return toCp932(name);
}

std::string TFramePos::toolBarName(const QToolBar& toolBar) const {
    const std::string name = toolBar.objectName().toStdString();
    if (name.empty())
        throw EFramePosError("TFramePos: ToolBar must have a name");
    return formName() + "." + toCp932(name);
}

QMainWindow& TFramePos::mainWindowOf(QToolBar* toolBar) const {
    auto* window = qobject_cast<QMainWindow*>(m_owner);
    if (window == nullptr || toolBar == nullptr ||
        window->toolBarArea(toolBar) == Qt::NoToolBarArea)
        throw EFramePosError("TFramePos: ToolBar must be one of the owner's");
    return *window;
}
