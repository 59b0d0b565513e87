#pragma once

#include "output/OutputRun.h"

#include <string>

// The day files. Each appends the current race of the context to its file in the
// output folder and throws EInOutError when a file operation fails.

// s + FileKey + .txt: the fixed-column report of a venue and day.
void WriteTextReport(const TOutputContext& context, TOutputRun& run);
// The race's block of the text report: an empty line, the heading, the runner lines,
// the bet and odds lines and the closing line, each ended by CR LF.
std::string TextReportBlock(const TOutputContext& context);
// s + FileKey + .htm: the same as a page of tables.
void WriteHtmlReport(const TOutputContext& context, TOutputRun& run);
// w + date + .txt: the WARS contest entry of the day (races with bets only).
void WriteWarsFile(const TOutputContext& context, TOutputRun& run);
// q + date + .txt: the RUV text file of the day in the OVERS layout (races with bets only).
void WriteRuvTextFile(const TOutputContext& context, TOutputRun& run);

// c + date + .csv: the day's race cards and predictions for a spreadsheet, one row per
// runner under a heading row, UTF-8 with a byte-order mark.
void WriteCsvFile(const TOutputContext& context, TOutputRun& run);

// The first line of both reports: the product and its version, then the copyright.
std::string ReportHeaderLine();
