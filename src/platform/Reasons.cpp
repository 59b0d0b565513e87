#include "platform/Reasons.h"

#include "platform/Cp932.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <new>
#include <locale.h>
#include <string_view>

namespace {

struct TSystemReason {
    int error;
    const char* text; // UTF-8
};

constexpr TSystemReason kSystemReasons[] = {
    {ENOENT, "ファイルまたはフォルダがありません"},
    {EACCES, "権限がありません"},
    {EPERM, "操作が許可されていません"},
    {ENOSPC, "ディスクに空きがありません"},
    {EDQUOT, "ディスクの使用量の上限を超えています"},
    {EROFS, "読み込み専用のファイルシステムです"},
    {EISDIR, "フォルダです"},
    {ENOTDIR, "パスの途中にフォルダでないものがあります"},
    {EEXIST, "すでにあります"},
    {ELOOP, "シンボリックリンクが多すぎるか、循環しています"},
    {EMFILE, "開いているファイルが多すぎます"},
    {ENFILE, "システム全体で開いているファイルが多すぎます"},
    {EIO, "ディスクまたは装置の読み書きに失敗しました"},
    {ENAMETOOLONG, "名前が長すぎます"},
    {EFBIG, "ファイルが大きすぎます"},
    {ENOMEM, "メモリが足りません"},
    {EBUSY, "使用中です"},
    {ETXTBSY, "使用中です"},
    {EINVAL, "引数が正しくありません"},
    {EXDEV, "別のファイルシステムへは移せません"},
};

struct TArchiveReason {
    std::string_view original; // the archive library's words, or their start
    const char* text;          // UTF-8
};

constexpr TArchiveReason kArchiveReasons[] = {
    {"Truncated", "データが途中で切れています"},
    {"LHa data CRC error", "データのCRCが合いません"},
    {"File CRC error", "データのCRCが合いません"},
    {"LHa header CRC error", "ヘッダのCRCが合いません"},
    {"Header CRC error", "ヘッダのCRCが合いません"},
    {"LHa header sum error", "ヘッダのチェックサムが合いません"},
    {"Bad LHa file", "LZHアーカイブではありません"},
    {"Couldn't find out LHa header", "LZHアーカイブではありません"},
    {"Invalid", "ヘッダが壊れています"},
    {"Bad lzh data", "圧縮データが壊れています"},
    {"Unsupported", "対応していない形式です"},
};

// The system's own words in English whatever the locale, as the C locale gives them.
std::string englishText(int error) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    return c ? strerror_l(error, c) : "error " + std::to_string(error);
}

} // namespace

std::string SystemReason(int error) {
    for (const TSystemReason& reason : kSystemReasons)
        if (reason.error == error)
            return sjis(reason.text) + " (" + englishText(error) + ")";
    return sjis("システムエラー ") + std::to_string(error) + " (" + englishText(error) + ")";
}

std::string ArchiveReason(const std::string& original) {
    for (const TArchiveReason& reason : kArchiveReasons)
        if (std::string_view(original).starts_with(reason.original))
            return sjis(reason.text) + " (" + original + ")";
    return sjis("アーカイブが壊れています") + " (" + original + ")";
}

std::string MessageOf(const std::exception& error) {
    if (const auto* file = dynamic_cast<const std::filesystem::filesystem_error*>(&error)) {
        std::string message = sjis("入出力エラー: ") + toCp932Lenient(file->path1().string());
        if (!file->path2().empty())
            message += ", " + toCp932Lenient(file->path2().string());
        return message + " (" + SystemReason(file->code().value()) + ")";
    }
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return SystemReason(ENOMEM);
    return error.what();
}

std::string SignalName(int signal) {
    const char* abbreviation = sigabbrev_np(signal);
    const char* description = sigdescr_np(signal);
    return std::string(abbreviation ? "SIG" + std::string(abbreviation) : std::to_string(signal)) +
           (description ? std::string(" (") + description + ")" : std::string());
}
