#pragma once

#include "ledger/LedgerTables.h"

#include <string>

class QLabel;
class QWidget;
class TStrColGrid;

// A grid that shows a table whole: its headings in the fixed row, the row names in the
// fixed column, the numbers right-aligned.
TStrColGrid* LedgerTableGrid(const char* name, const TLedgerTable& table, QWidget* parent);

// A label of plain CP932 text.
QLabel* LedgerTextLabel(const char* name, const std::string& cp932, QWidget* parent);
