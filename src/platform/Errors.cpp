#include "platform/Errors.h"

#include "platform/Cp932.h"
#include "platform/Format.h"

EInOutError InOutError(const char* operation, const std::filesystem::path& file,
                       const std::string& reason) {
    return EInOutError(Format(sjis("入出力エラー(%s): %s (%s)").c_str(), sjis(operation).c_str(),
                              toCp932Lenient(file.string()).c_str(), reason.c_str()));
}
