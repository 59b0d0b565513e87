#pragma once

#include <optional>
#include <string_view>

// Decimal text of the JRDB and RX odds files as a number. Blanks at either end are
// ignored; the rest must be a number as a whole: an optional sign, digits with at most
// one decimal point, an optional exponent ("12.3", ".5", "-1", "1e2"). The decimal
// point is '.' whatever the process locale. Nothing otherwise.
std::optional<float> textToFloatOrNothing(std::string_view text);

// The odds of a decimal field: its value, or -1 (no odds) when it is not a number.
float oddsOfText(std::string_view text);
