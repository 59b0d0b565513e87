#include "WindowFixture.h"
#include "support/TestFiles.h"
#include "sampleday/LzhWriter.h"

#include "gui/dialogs/Cfg.h"
#include "gui/dialogs/Ver.h"
#include "gui/dialogs/Wait.h"
#include "sampleday/SampleDays.h"

#include <QCoreApplication>
#include <QImage>

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

void WindowTest::writeTimeDb() const {
    WriteTimeDb(folder(), TimeDbCovering(SmallTestDay()));
}

void WindowTest::writeIni(const std::string& text) const {
    WriteBinaryFile(ini(), text);
}

std::string WindowTest::readIni() const {
    return ReadBytes(ini());
}

TSettings& WindowTest::loadSettings() {
    m_settings = TSettings{};
    m_settings.Load(ini());
    return m_settings;
}

std::unique_ptr<TFormMain> WindowTest::makeWindow() {
    loadSettings();
    auto window = std::make_unique<TFormMain>(m_settings, program());
    window->ShowErrorBox = [this](const QString& text) { m_errors.append(text); };
    window->ShowWarningBox = [this](const QString& text) { m_warnings.append(text); };
    window->FormCreate();
    return window;
}

void WindowTest::useForms(TFormMain& window) {
    auto* formVer = new TFormVer(QCoreApplication::applicationFilePath().toStdString(), &window);
    auto* formCfg = new TFormCfg(m_settings, &window);
    auto* formWait = new TFormWait(&window);
    window.UseForms(formVer, formCfg, formWait);
}

bool samePicture(const QIcon& shown, const QIcon& expected) {
    const QSize size(16, 16);
    return shown.pixmap(size).toImage() == expected.pixmap(size).toImage();
}
