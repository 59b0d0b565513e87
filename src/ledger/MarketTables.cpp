#include "ledger/MarketTables.h"

#include "analysis/Focus.h"
#include "output/CsvWriter.h"
#include "platform/Cp932.h"
#include "platform/Format.h"

#include <algorithm>
#include <cmath>

namespace {

std::vector<std::string> headings(std::initializer_list<const char*> utf8) {
    std::vector<std::string> texts;
    for (const char* text : utf8)
        texts.push_back(sjis(text));
    return texts;
}

std::string percent(double fraction) {
    return Format("%.1f%%", 100 * fraction);
}

std::string signedPercent(double fraction) {
    return Format("%+.1f%%", 100 * fraction);
}

// A rate k/n in percent; "-" without races.
std::string rate(long long k, long long n) {
    return n == 0 ? "-" : percent(static_cast<double>(k) / static_cast<double>(n));
}

std::string interval(const std::optional<TInterval>& i, bool sign = false) {
    if (!i)
        return "-";
    return sign ? signedPercent(i->low) + sjis("～") + signedPercent(i->high)
                : percent(i->low) + sjis("～") + percent(i->high);
}

std::string count(long long n) {
    return std::to_string(n);
}

bool includesZero(const TInterval& i) {
    return i.low <= 0 && i.high >= 0;
}

struct TSplit {
    const char* name;
    const TMarketPair TMarketSection::*pair;
};
const TSplit kSplits[] = {{"全体", &TMarketSection::all},
                          {"◎が1番人気", &TMarketSection::same},
                          {"◎が1番人気でない", &TMarketSection::other}};

std::vector<std::string> tallyRow(const std::string& name, const TWinTally& t) {
    return {name,
            count(t.races),
            count(t.won),
            rate(t.won, t.races),
            interval(WilsonInterval(t.won, t.races)),
            rate(t.topTwo, t.races),
            rate(t.topThree, t.races),
            GroupedDigits(t.stake),
            GroupedDigits(t.paid),
            rate(t.paid, t.stake)};
}

// Whether a rate's interval holds a reference rate, in the words of a sentence.
bool holds(const std::optional<TInterval>& i, double p) {
    return i && i->low <= p && p <= i->high;
}

std::string bandName(const TOddsBand& band) {
    return band.high == 0 ? Format(sjis("%.1f倍以上").c_str(), band.low)
                          : Format(sjis("%.1f～%.1f倍").c_str(), band.low, band.high - 0.1);
}

std::string loss(double value) {
    return Format("%.4f", value);
}

// The terms a fit fitted with their values: α, β per score point and γ (CP932).
std::string fittedTerms(const TLogitFit& fit) {
    static const char* const formats[logitTerm::kCount] = {"α=%.3f", "β=%.4f", "γ=%.3f"};
    std::string text;
    for (std::size_t t = 0; t < logitTerm::kCount; ++t)
        if (fit.fitted[t])
            text +=
                (text.empty() ? "" : " ") + Format(sjis(formats[t]).c_str(), fit.coefficients[t]);
    return text.empty() ? "-" : text;
}

constexpr double kChartSize = 360;
constexpr double kChartMargin = 50;
constexpr TRgb kInk = 0x333333;
constexpr TRgb kGridColor = 0xDDDDDD;
constexpr TRgb kProgramColor = 0xC0392B;
constexpr TRgb kMarketColor = 0x1F6FB2;

double chartX(double p) {
    return kChartMargin + kChartSize * p;
}
double chartY(double p) {
    return kChartMargin / 2 + kChartSize * (1 - p);
}

void chartBins(TChart& chart, const std::vector<TReliabilityBin>& bins, TRgb color, double offset) {
    for (const TReliabilityBin& bin : bins) {
        if (bin.runners == 0)
            continue;
        const double x = chartX(bin.meanPredicted) + offset;
        const double y = chartY(bin.winRate);
        if (bin.winRateInterval)
            chart.lines.push_back(
                {{{x, chartY(bin.winRateInterval->low)}, {x, chartY(bin.winRateInterval->high)}},
                 color,
                 1,
                 false});
        chart.lines.push_back({{{x - 4, y}, {x + 4, y}}, color, 3, false});
    }
}

void csvBins(std::string& csv, const char* model, const std::vector<TReliabilityBin>& bins) {
    for (const TReliabilityBin& bin : bins) {
        TCsvRow row;
        row.Text(model)
            .Number(Format("%g", 100 * bin.lower))
            .Number(Format("%g", 100 * bin.upper))
            .Number(bin.runners)
            .Number(Format("%.2f", 100 * bin.meanPredicted))
            .Number(bin.wins)
            .Number(Format("%.2f", 100 * bin.winRate));
        if (bin.winRateInterval)
            row.Number(Format("%.2f", 100 * bin.winRateInterval->low))
                .Number(Format("%.2f", 100 * bin.winRateInterval->high));
        else
            row.Number(std::string()).Number(std::string());
        csv += row.Line();
    }
}

// The bins whose interval leaves out the mean predicted probability.
int offBins(const std::vector<TReliabilityBin>& bins) {
    int off = 0;
    for (const TReliabilityBin& bin : bins)
        off += bin.runners > 0 && !holds(bin.winRateInterval, bin.meanPredicted) ? 1 : 0;
    return off;
}

int filledBins(const std::vector<TReliabilityBin>& bins) {
    return static_cast<int>(std::count_if(bins.begin(), bins.end(),
                                          [](const TReliabilityBin& b) { return b.runners > 0; }));
}

} // namespace

TMarketPart FavouritePart(const TMarketSection& section) {
    TMarketPart part{sjis("◎と1番人気"), {}, {}};
    part.table.headings = headings({"区分", "レース", "1着", "勝率", "勝率の95%区間", "連対率",
                                    "複勝率", "単勝投資", "単勝払戻", "単勝回収率"});
    for (const TSplit& split : kSplits) {
        const TMarketPair& pair = section.*split.pair;
        part.table.rows.push_back(tallyRow(sjis(split.name) + sjis(" ◎"), pair.topMark));
        part.table.rows.push_back(tallyRow(sjis(split.name) + sjis(" 1番人気"), pair.favourite));
    }
    const TWinTally& m = section.all.topMark;
    const TWinTally& f = section.all.favourite;
    if (m.races == 0) {
        part.sentence = sjis("◎と1番人気を比べられる確定レースはまだありません。");
        return part;
    }
    const auto mi = WilsonInterval(m.won, m.races);
    const auto fi = WilsonInterval(f.won, f.races);
    const bool overlap = mi->low <= fi->high && fi->low <= mi->high;
    part.sentence =
        Format(sjis("同じ %d レースで◎の勝率は %s、1番人気は %s で、95%%区間が%s。").c_str(),
               m.races, rate(m.won, m.races).c_str(), rate(f.won, f.races).c_str(),
               sjis(overlap ? "重なっていて差があるとは言えない" : "重ならず差がある").c_str());
    return part;
}

TMarketPart DifferencePart(const TMarketSection& section) {
    TMarketPart part{sjis("単勝回収率の差(◎−1番人気)"), {}, {}};
    part.table.headings =
        headings({"区分", "レース", "◎の回収率", "1番人気の回収率", "差", "差の95%区間"});
    for (const TSplit& split : kSplits) {
        const TMarketPair& pair = section.*split.pair;
        const auto& d = pair.difference;
        part.table.rows.push_back({sjis(split.name), count(pair.topMark.races),
                                   d ? percent(d->returnA) : "-", d ? percent(d->returnB) : "-",
                                   d ? signedPercent(d->difference) : "-",
                                   d ? interval(d->interval, true) : "-"});
    }
    const auto& d = section.all.difference;
    if (!d) {
        part.sentence = sjis("◎と1番人気を比べられる確定レースはまだありません。");
        return part;
    }
    const bool none = includesZero(d->interval);
    // "higher, but not shown to differ" or "higher, and shown to differ"
    const char* const direction =
        d->difference >= 0 ? (none ? "高いが" : "高く") : (none ? "低いが" : "低く");
    part.sentence = Format(sjis("◎の単勝回収率は1番人気より %s %s、95%%区間は %s で%s。").c_str(),
                           signedPercent(d->difference).c_str(), sjis(direction).c_str(),
                           interval(d->interval, true).c_str(),
                           sjis(none ? "差があるとは言えない" : "差がある").c_str());
    return part;
}

TMarketPart OddsBandPart(const TMarketSection& section) {
    TMarketPart part{sjis("◎の単勝オッズ帯"), {}, {}};
    part.table.headings =
        headings({"◎の単勝オッズ", "レース", "1着", "勝率", "勝率の95%区間", "オッズの示す勝率"});
    std::vector<std::string> off;
    int bands = 0;
    for (const TOddsBand& band : section.bands) {
        const auto i = WilsonInterval(band.wins, band.races);
        part.table.rows.push_back({bandName(band), count(band.races), count(band.wins),
                                   rate(band.wins, band.races), interval(i),
                                   band.races == 0 ? "-" : percent(band.implied)});
        if (band.races == 0)
            continue;
        ++bands;
        if (!holds(i, band.implied))
            off.push_back(bandName(band) +
                          sjis(static_cast<double>(band.wins) / band.races > band.implied
                                   ? "で高く"
                                   : "で低く"));
    }
    if (bands == 0) {
        part.sentence = sjis("オッズのある◎の確定レースはまだありません。");
    } else if (off.empty()) {
        part.sentence = Format(sjis("◎の勝率はどのオッズ帯(%d 帯)でもオッズの示す勝率が95%%区間"
                                    "に入っていて、差があるとは言えない。")
                                   .c_str(),
                               bands);
    } else {
        std::string list;
        for (const std::string& o : off)
            list += (list.empty() ? "" : sjis("、")) + o;
        part.sentence = Format(sjis("◎の勝率は %d 帯のうち %zu 帯でオッズの示す勝率と差があり"
                                    "(%s)、ほかの帯では差があるとは言えない。")
                                   .c_str(),
                               bands, off.size(), list.c_str());
    }
    return part;
}

TMarketPart FitPart(const TMarketSection& section) {
    const TCalibration& c = section.calibration;
    TMarketPart part{sjis("指数と市場の確率(条件付きロジット)"), {}, {}};
    const std::string left =
        c.withoutOdds > 0 ? Format(sjis("出走馬に単勝オッズのない %d レースは除きました。").c_str(),
                                   c.withoutOdds)
                          : std::string();
    if (!c.Enough()) {
        part.sentence = Format(sjis("確定レースが少なすぎるため(前半 %d、後半 %d、それぞれ %d "
                                    "レース必要)、当てはめた数値は示しません。")
                                   .c_str(),
                               c.earlier, c.later, TCalibration::kMinimumHalf) +
                        left;
        return part;
    }
    part.table.headings = headings({"モデル", "前半で推定した係数", "後半の対数損失"});
    part.table.rows = {
        {sjis("一様(何も知らない)"), "-", loss(c.uniformLoss)},
        {sjis("市場(1/オッズ)"), "-", loss(c.marketLoss)},
        {sjis("指数"), fittedTerms(c.program), loss(c.programLoss)},
        {sjis("合成(市場+指数)"), fittedTerms(c.blend), loss(c.blendLoss)},
    };
    const TLikelihoodRatio& g = c.blendGain;
    const bool better = c.blendLoss < c.marketLoss;
    part.sentence =
        Format(sjis("前半 %d レースでは指数を加えた合成は市場より%s(尤度比 %.1f、自由度 %d、p=%.3f)"
                    "、後半 %d レースの対数損失は市場 %s、合成 %s で、指数は市場にない情報を%s。")
                   .c_str(),
               c.earlier, sjis(g.Significant() ? "有意に良く" : "良いとは言えず").c_str(),
               g.statistic, g.degreesOfFreedom, g.pValue, c.later, loss(c.marketLoss).c_str(),
               loss(c.blendLoss).c_str(),
               sjis(g.Significant() && better ? "持っているようだ" : "持っているとは言えない")
                   .c_str()) +
        left;
    return part;
}

TMarketPart ReliabilityPart(const TMarketSection& section) {
    const TCalibration& c = section.calibration;
    TMarketPart part{sjis("確率の当たり具合"), {}, {}};
    part.table.headings =
        headings({"予測確率", "指数 頭数", "指数 予測平均", "指数 勝率", "指数 95%区間",
                  "市場 頭数", "市場 予測平均", "市場 勝率", "市場 95%区間"});
    for (std::size_t i = 0; i < c.marketBins.size(); ++i) {
        const TReliabilityBin& m = c.marketBins[i];
        std::vector<std::string> row{Format("%g-%g%%", 100 * m.lower, 100 * m.upper)};
        for (const TReliabilityBin* bin :
             {i < c.programBins.size() ? &c.programBins[i] : nullptr, &m}) {
            if (!bin || bin->runners == 0) {
                row.insert(row.end(), {bin ? "0" : "-", "-", "-", "-"});
                continue;
            }
            row.insert(row.end(), {count(bin->runners), percent(bin->meanPredicted),
                                   percent(bin->winRate), interval(bin->winRateInterval)});
        }
        part.table.rows.push_back(std::move(row));
    }
    if (filledBins(c.marketBins) == 0) {
        part.sentence = sjis("オッズのそろった確定レースはまだありません。");
    } else if (c.programBins.empty()) {
        part.sentence =
            Format(sjis("全 %d レースの市場の確率で、実際の勝率の95%%区間が予測を含まない"
                        "区分は %d 区分中 %d。指数は当てはめられるだけのレースがありません。")
                       .c_str(),
                   c.races, filledBins(c.marketBins), offBins(c.marketBins));
    } else {
        part.sentence = Format(sjis("後半 %d レースで、実際の勝率の95%%区間が予測を含まない区分は"
                                    "指数で %d 区分中 %d、市場で %d 区分中 %d。")
                                   .c_str(),
                               c.later, filledBins(c.programBins), offBins(c.programBins),
                               filledBins(c.marketBins), offBins(c.marketBins));
    }
    return part;
}

std::vector<TMarketPart> MarketParts(const TMarketSection& section) {
    return {FavouritePart(section), DifferencePart(section), OddsBandPart(section),
            FitPart(section), ReliabilityPart(section)};
}

TChart ReliabilityChart(const TMarketSection& section) {
    TChart chart;
    chart.width = kChartSize + 2 * kChartMargin + 80;
    chart.height = kChartSize + 1.5 * kChartMargin + 10;
    for (int tenth = 0; tenth <= 10; tenth += 2) {
        const double p = tenth / 10.0;
        chart.lines.push_back({{{chartX(0), chartY(p)}, {chartX(1), chartY(p)}}, kGridColor, 1});
        chart.lines.push_back({{{chartX(p), chartY(0)}, {chartX(p), chartY(1)}}, kGridColor, 1});
        chart.texts.push_back({{chartX(0) - 6, chartY(p) + 4},
                               Format("%d%%", tenth * 10),
                               TTextAnchor::End,
                               kInk,
                               false});
        chart.texts.push_back({{chartX(p), chartY(0) + 16},
                               Format("%d%%", tenth * 10),
                               TTextAnchor::Middle,
                               kInk,
                               false});
    }
    chart.lines.push_back({{{chartX(0), chartY(0)}, {chartX(1), chartY(1)}}, kInk, 1, true});
    chart.texts.push_back(
        {{chartX(0.5), chartY(0) + 34}, sjis("予測した勝率"), TTextAnchor::Middle, kInk, false});
    chart.texts.push_back(
        {{chartX(0), chartY(1) - 10}, sjis("実際の勝率"), TTextAnchor::Start, kInk, false});
    const TCalibration& c = section.calibration;
    chartBins(chart, c.programBins, kProgramColor, -3);
    chartBins(chart, c.marketBins, kMarketColor, 3);
    const std::pair<const char*, TRgb> legend[] = {{"指数", kProgramColor}, {"市場", kMarketColor}};
    double y = chartY(1) + 10;
    for (const auto& [name, color] : legend) {
        chart.lines.push_back({{{chartX(1) + 14, y - 4}, {chartX(1) + 28, y - 4}}, color, 3});
        chart.texts.push_back({{chartX(1) + 34, y}, sjis(name), TTextAnchor::Start, kInk, false});
        y += 20;
    }
    return chart;
}

std::string MarketCsv(const TMarketSection& section) {
    std::string csv = CsvStart(
        {"who", "races", "won", "top2", "top3", "win_stake", "win_return", "won_low", "won_high"});
    const std::pair<const char*, const TMarketPair*> rows[] = {
        {"", &section.all}, {":same", &section.same}, {":other", &section.other}};
    for (const auto& [suffix, pair] : rows)
        for (const auto& [who, tally] :
             {std::pair<const char*, const TWinTally*>{"favourite", &pair->favourite},
              {"top_mark", &pair->topMark}}) {
            TCsvRow row;
            row.Text(std::string(who) + suffix)
                .Number(tally->races)
                .Number(tally->won)
                .Number(tally->topTwo)
                .Number(tally->topThree)
                .Number(tally->stake)
                .Number(tally->paid);
            const auto i = WilsonInterval(tally->won, tally->races);
            row.Number(i ? Format("%.2f", 100 * i->low) : std::string())
                .Number(i ? Format("%.2f", 100 * i->high) : std::string());
            csv += row.Line();
        }
    return csv;
}

std::string CalibrationCsv(const TMarketSection& section) {
    std::string csv = CsvStart(
        {"model", "bin_low", "bin_high", "runners", "mean_p", "wins", "win_rate", "low", "high"});
    csvBins(csv, "program", section.calibration.programBins);
    csvBins(csv, "market", section.calibration.marketBins);
    return csv;
}

std::vector<std::string> MarketLines(const TMarketSection& section) {
    std::vector<std::string> lines{sjis("市場との比較")};
    for (const TMarketPart& part : MarketParts(section)) {
        lines.push_back("");
        lines.push_back("[" + part.title + "]");
        if (!part.table.headings.empty())
            for (std::string& line : TableLines(part.table))
                lines.push_back(std::move(line));
        lines.push_back(part.sentence);
    }
    return lines;
}
