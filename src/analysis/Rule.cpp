// TRule: the numbers the prediction and the ticket choice rest on, as one value.
#include "analysis/Rule.h"

#include "platform/Cp932.h"
#include "platform/Format.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace {

double parseNumber(const std::string& key, const std::string& text) {
    if (const auto value = RuleNumber(text))
        return *value;
    throw ERuleError(sjis("条件 ") + key + sjis(" の値が数ではありません: ") + text);
}

void outOfRange(const std::string& key, const std::string& value, const char* range) {
    throw ERuleError(sjis("条件 ") + key + sjis(" の値 ") + value + sjis(" は範囲外です (") +
                     range + ")");
}

[[noreturn]] void unknownKey(const std::string& key) {
    throw ERuleError(sjis("知らない条件です: ") + key +
                     sjis(" (good, margin, scored, min-odds, tickets のどれか)"));
}

} // namespace

std::optional<double> RuleNumber(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double RuleValue(const TRule& rule, const std::string& key) {
    if (key == "good")
        return rule.good;
    if (key == "margin")
        return rule.margin;
    if (key == "scored")
        return rule.scored;
    if (key == "min-odds")
        return rule.minOdds;
    if (key == "tickets")
        return rule.tickets;
    unknownKey(key);
}

void SetRuleValue(TRule& rule, const std::string& key, const std::string& value) {
    RuleValue(rule, key); // refuses an unknown key
    const double v = parseNumber(key, value);
    if (key == "good") {
        if (!(v > 0 && v <= 1))
            outOfRange(key, value, "0 < good <= 1");
        rule.good = v;
    } else if (key == "margin") {
        if (!(v >= 0 && v < 1))
            outOfRange(key, value, "0 <= margin < 1");
        rule.margin = v;
    } else if (key == "scored") {
        if (!(v >= 0 && v <= 1))
            outOfRange(key, value, "0 <= scored <= 1");
        rule.scored = v;
    } else if (key == "min-odds") {
        if (!(v >= 0))
            outOfRange(key, value, "min-odds >= 0");
        rule.minOdds = v;
    } else {
        if (!(v >= 0 && v <= 6) || v != std::floor(v))
            outOfRange(key, value, sjis("tickets は 0 から 6 の整数").c_str());
        rule.tickets = static_cast<int>(v);
    }
}

TRule ParseRule(const std::string& text) {
    TRule rule;
    std::istringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        const auto equals = item.find('=');
        if (equals == std::string::npos)
            throw ERuleError(sjis("条件は KEY=VALUE で書いてください: ") + item);
        SetRuleValue(rule, item.substr(0, equals), item.substr(equals + 1));
    }
    return rule;
}

std::string RuleText(const TRule& rule) {
    return Format("good=%g,margin=%g,scored=%g,min-odds=%g,tickets=%d", rule.good, rule.margin,
                  rule.scored, rule.minOdds, rule.tickets);
}
