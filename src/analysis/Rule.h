// TRule: the numbers the prediction and the ticket choice rest on, as one value.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

class ERuleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TRule {
    double good = 0.87;   // share of a runner's mean above which a figure is good
    double margin = 0.02; // share of the best score a clear leader leads by
    double scored = 0.75; // share of scored runners below which no bet is made
    double minOdds = 0;   // a ticket is bought at these snapshot odds or more; 0: every one
    int tickets = 6;      // the first this many tickets in slot order are bought

    bool operator==(const TRule&) const = default;
};

// A rule's number written as a decimal text; none for any other text.
std::optional<double> RuleNumber(const std::string& text);

// The keys a rule text and a sweep name: good, margin, scored, min-odds, tickets.
// Sets key to the number text; throws ERuleError (CP932) for an unknown key, a text that is
// not a number, or a value out of its range.
void SetRuleValue(TRule& rule, const std::string& key, const std::string& value);

// The value of a key SetRuleValue knows; throws ERuleError for another key.
double RuleValue(const TRule& rule, const std::string& key);

// "good=0.8,margin=0.05" over the defaults; throws ERuleError as SetRuleValue.
TRule ParseRule(const std::string& text);

// The rule in the form ParseRule reads, every key given.
std::string RuleText(const TRule& rule);
