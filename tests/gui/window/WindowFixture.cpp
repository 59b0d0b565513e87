#include "WindowFixture.h"

#include "sampleday/SampleDays.h"

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

void WindowTest::writeTimeDb() const {
    WriteTimeDb(folder(), TimeDbCovering(SmallTestDay()));
}

void WindowTest::writeIni(const std::string& text) const {
    writeFile(ini(), text);
}

std::string WindowTest::readIni() const {
    return readFile(ini());
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
    window->FormCreate();
    return window;
}
