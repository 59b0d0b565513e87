#pragma once

#include <exception>
#include <string>

// Why something failed, in the user's words: Japanese, with the original English after it
// in parentheses, for searching. CP932 like every text of the program.

// An error number of the system: "ファイルまたはフォルダがありません (No such file or
// directory)". A number not known here is "システムエラー N (its English text)".
std::string SystemReason(int error);

// A reason the archive library gives: "データが途中で切れています (Truncated LHa file
// data)". A reason not known here is "アーカイブが壊れています (its English text)".
std::string ArchiveReason(const std::string& original);

// The message of an error as the user reads it: the program's own errors as they are; the
// standard library's in the program's words ("入出力エラー: FILE (reason)" for a file
// system error), so that none reaches the user in English alone.
std::string MessageOf(const std::exception& error);

// The name of a signal that ends the program ("SIGTERM (Terminated)").
std::string SignalName(int signal);
