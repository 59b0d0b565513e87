// The settings file: loaded, saved into the same text and loaded again, which must give
// the very same settings, as a file the program wrote must read back as it was.
#include "session/Settings.h"
#include "platform/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <tuple>

namespace {

auto values(const TSettings& s) {
    return std::tuple(s.Folder.InDenm, s.Folder.OutTxt, s.Folder.Time, s.Folder.DrnRx,
                      s.Folder.Jrdb, s.File.OutAtRead, s.File.TextOut, s.File.HtmlOut,
                      s.File.WarsOut, s.File.WarsFormat, s.File.RuvOut, s.File.RuvFormat,
                      s.Font.Size, s.Font.SizeOdds, s.Other.RaceClose, s.Other.DrnRx, s.Other.Jrdb,
                      s.Pos.Split1, s.Pos.Split2, s.Pos.Bamei);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string programFolder = "/opt/ruvpelton/";
    TIniDocument file(std::string_view(reinterpret_cast<const char*>(data), size));
    TSettings loaded;
    loaded.Load(file, programFolder);
    loaded.Store(file);
    TSettings again;
    again.Load(TIniDocument(file.Text()), programFolder);
    if (values(again) != values(loaded))
        std::abort(); // a saved setting that does not read back as it was saved
    return 0;
}
