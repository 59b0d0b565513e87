#include "analysis/Explanation.h"

#include "support/FakeRace.h"
#include "platform/Cp932.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// A past race at 2000 m of the test database (factor 5, standards 2:10.0 turf and
// 2:11.0 dirt at course 5), on 2000-01-01 unless told, when no variant is recorded.
FakeRun pastRace(int time, int weight, bool dirt = false, int date = 20000101) {
    FakeRun run;
    run.status = kRunUsable;
    run.time = time;
    run.weight = weight;
    run.dirt = dirt;
    run.date = date;
    return run;
}

class ExplanationTest : public ::testing::Test {
protected:
    ExplanationTest() {
        WriteTimeDb(m_folder.path(), focusDb());
        m_focus.emplace(m_folder.folderText());
    }
    TExplanation explain(const FakeField& field) {
        const FakeRace race(field);
        m_focus->Calc(race);
        return TExplanation(race, *m_focus);
    }
    TWorkFolder m_folder;
    std::optional<TFocus> m_focus;
};

} // namespace

TEST_F(ExplanationTest, AFigureIsExplainedStepByStepFromTheTablesItWasFoundIn) {
    FakeRun noFactor = pastRace(3100, 550);
    noFactor.distance = 3000;
    FakeRun noStandard = pastRace(2100, 550);
    noStandard.course = 8;
    const struct {
        const char* what;
        FakeRun run;
        const char* text;
    } cases[] = {
        {"with a variant, 56 kg", pastRace(2080, 560, false, 20010128),
         "1番  前走 +95\n"
         "2001/01/28 東京 芝 2000m  走破 2:08.0  斤量 56.0kg\n"
         "距離係数   f = 5         キー 20 (2000 ÷ 100)\n"
         "基準タイム s = 2:10.0    キー 205 (2000 ÷ 10 + 場 5) 芝\n"
         "馬場差     v = +3        キー 0101285 (010128 × 10 + 場 5) 芝\n"
         "走破タイム t = 2:08.0 = 1280 (0.1秒)\n"
         "(s - t) × f ÷ 10 = (1300 - 1280) × 5 ÷ 10 = 10.0\n"
         "+ 80 → 90.0\n"
         "+ v (+3) → 93.0\n"
         "+ (斤量 ÷ 10 - 55) × 2 = (560 ÷ 10 - 55) × 2 = +2.0 → 95.0\n"
         "指数 95.0\n"
         "表示 +95: 四捨五入して 95、+ はこのレースの直近3走で上位の指数\n"},
        {"999, no variant that day", pastRace(2090, 550, true, 20010128),
         "1番  前走 +D90\n"
         "2001/01/28 東京 ダート 2000m  走破 2:09.0  斤量 55.0kg\n"
         "距離係数   f = 5         キー 20 (2000 ÷ 100)\n"
         "基準タイム s = 2:11.0    キー 205 (2000 ÷ 10 + 場 5) ダート\n"
         "馬場差     v = 0         キー 0101285 (010128 × 10 + 場 5) ダート 999 "
         "(馬場差なし)\n"
         "走破タイム t = 2:09.0 = 1290 (0.1秒)\n"
         "(s - t) × f ÷ 10 = (1310 - 1290) × 5 ÷ 10 = 10.0\n"
         "+ 80 → 90.0\n"
         "+ v (+0) → 90.0\n"
         "+ (斤量 ÷ 10 - 55) × 2 = (550 ÷ 10 - 55) × 2 = +0.0 → 90.0\n"
         "指数 90.0\n"
         "表示 +D90: 四捨五入して 90、D はダート、+ はこのレースの直近3走で上位の指数\n"},
        {"no variant record", pastRace(2095, 550),
         "1番  前走 +83\n"
         "2000/01/01 東京 芝 2000m  走破 2:09.5  斤量 55.0kg\n"
         "距離係数   f = 5         キー 20 (2000 ÷ 100)\n"
         "基準タイム s = 2:10.0    キー 205 (2000 ÷ 10 + 場 5) 芝\n"
         "馬場差     v = 0         タイムデータにキー 0001015 (000101 × 10 + 場 5) の馬場差がない\n"
         "走破タイム t = 2:09.5 = 1295 (0.1秒)\n"
         "(s - t) × f ÷ 10 = (1300 - 1295) × 5 ÷ 10 = 2.5\n"
         "+ 80 → 82.5\n"
         "+ v (+0) → 82.5\n"
         "+ (斤量 ÷ 10 - 55) × 2 = (550 ÷ 10 - 55) × 2 = +0.0 → 82.5\n"
         "指数 82.5\n"
         "表示 +83: 四捨五入して 83、+ はこのレースの直近3走で上位の指数\n"},
        {"no distance factor", noFactor,
         "1番  前走 XXX\n"
         "2000/01/01 東京 芝 3000m  走破 3:10.0  斤量 55.0kg\n"
         "距離係数   タイムデータにキー 30 (3000 ÷ 100) の距離係数がない\n"
         "指数を出せない: 表示 XXX、評価点に入らない\n"},
        {"no standard time", noStandard,
         "1番  前走 XXX\n"
         "2000/01/01 京都 芝 2000m  走破 2:10.0  斤量 55.0kg\n"
         "距離係数   f = 5         キー 20 (2000 ÷ 100)\n"
         "基準タイム タイムデータにキー 208 (2000 ÷ 10 + 場 8) の基準タイムがない\n"
         "指数を出せない: 表示 XXX、評価点に入らない\n"},
        {"floored at 0", pastRace(2300, 550),
         "1番  前走 0\n"
         "2000/01/01 東京 芝 2000m  走破 2:30.0  斤量 55.0kg\n"
         "距離係数   f = 5         キー 20 (2000 ÷ 100)\n"
         "基準タイム s = 2:10.0    キー 205 (2000 ÷ 10 + 場 5) 芝\n"
         "馬場差     v = 0         タイムデータにキー 0001015 (000101 × 10 + 場 5) の馬場差がない\n"
         "走破タイム t = 2:30.0 = 1500 (0.1秒)\n"
         "(s - t) × f ÷ 10 = (1300 - 1500) × 5 ÷ 10 = -100.0\n"
         "+ 80 → -20.0\n"
         "+ v (+0) → -20.0\n"
         "+ (斤量 ÷ 10 - 55) × 2 = (550 ÷ 10 - 55) × 2 = +0.0 → -20.0\n"
         "指数 -20.0 は 0 未満なので 0.0\n"
         "表示 0: 四捨五入して 0\n"},
        {"52.5 kg", pastRace(2100, 525),
         "1番  前走 +75\n"
         "2000/01/01 東京 芝 2000m  走破 2:10.0  斤量 52.5kg\n"
         "距離係数   f = 5         キー 20 (2000 ÷ 100)\n"
         "基準タイム s = 2:10.0    キー 205 (2000 ÷ 10 + 場 5) 芝\n"
         "馬場差     v = 0         タイムデータにキー 0001015 (000101 × 10 + 場 5) の馬場差がない\n"
         "走破タイム t = 2:10.0 = 1300 (0.1秒)\n"
         "(s - t) × f ÷ 10 = (1300 - 1300) × 5 ÷ 10 = 0.0\n"
         "+ 80 → 80.0\n"
         "+ v (+0) → 80.0\n"
         "+ (斤量 ÷ 10 - 55) × 2 = (525 ÷ 10 - 55) × 2 = -5.0 → 75.0\n"
         "指数 75.0\n"
         "表示 +75: 四捨五入して 75、+ はこのレースの直近3走で上位の指数\n"},
        {"scratched", status(kRunScratched),
         "1番  前走 取消\n"
         "2000/01/01 2000m  取消: 出走を取り消した\n"
         "指数なし: 評価点に入らない\n"},
        {"no race", status(kRunNone),
         "1番  前走 －\n"
         "－: 過去の走がないか、使えない結果\n"
         "指数なし: 評価点に入らない\n"},
    };
    for (const auto& c : cases) {
        FakeField field;
        field.runners = {runs({c.run})};
        EXPECT_EQ(toUtf8(explain(field).Figure(1, 0)), c.text) << c.what;
    }
}

TEST_F(ExplanationTest, TheBetsTellTheRulesThatChoseThem) {
    FakeField noBet = fieldOf({70, 100, 80, 60});
    noBet.noBet = true;
    FakeField lastAbroad;
    lastAbroad.runners = {runs({status(kRunAbroad), fig(100), fig(100)}), runs({fig(95)})};
    const struct {
        const char* what;
        FakeField field;
        const char* text;
    } cases[] = {
        {"clear leader", fieldOf({90, 100, 80}),
         "買い目の決め方\n"
         "1位 2番  評価点 100.0  上位指数 1  前走 +100 (100.0)\n"
         "2位 1番  評価点 90.0  上位指数 1  前走 +90 (90.0)\n"
         "入れ替えなし: 上位指数 1 = 1、前走 100.0 > 90.0 → ◎ 2番  ○ 1番\n"
         "1位の評価点の 98% と2位: 100.0 - 100.0 × 0.02 = 98.0 > 90.0 → 抜けた1頭: "
         "◎-○▲△×× と ○-▲\n"
         "評価点のある馬 3/3 頭: 3/4 以上\n"
         "買い目 枠番連勝 1-2 2-3 1-3\n"},
        {"close race", fieldOf({99, 100, 80}),
         "買い目の決め方\n"
         "1位 2番  評価点 100.0  上位指数 1  前走 +100 (100.0)\n"
         "2位 1番  評価点 99.0  上位指数 1  前走 +99 (99.0)\n"
         "入れ替えなし: 上位指数 1 = 1、前走 100.0 > 99.0 → ◎ 2番  ○ 1番\n"
         "1位の評価点の 98% と2位: 100.0 - 100.0 × 0.02 = 98.0 < 99.0 → 接戦: ◎○▲△ のボックス\n"
         "評価点のある馬 3/3 頭: 3/4 以上\n"
         "買い目 枠番連勝 1-2 2-3 1-3\n"},
        {"the best's last race abroad", lastAbroad,
         "買い目の決め方\n"
         "1位 1番  評価点 100.0  上位指数 2  前走 海外 (指数なし、0.0 として比べる)\n"
         "2位 2番  評価点 95.0  上位指数 1  前走 +95 (95.0)\n"
         "入れ替え: 上位指数 2 > 1、前走 0.0 < 95.0 → ◎ 2番  ○ 1番\n"
         "1位の評価点の 98% と2位: 100.0 - 100.0 × 0.02 = 98.0 > 95.0 → 抜けた1頭: "
         "◎-○▲△×× と ○-▲\n"
         "評価点のある馬 2/2 頭: 3/4 以上\n"
         "買い目 枠番連勝 1-2\n"},
        {"no-bet race", noBet,
         "買い目の決め方\n"
         "1位 2番  評価点 100.0  上位指数 1  前走 +100 (100.0)\n"
         "2位 3番  評価点 80.0  上位指数 1  前走 +80 (80.0)\n"
         "入れ替えなし: 上位指数 1 = 1、前走 100.0 > 80.0 → ◎ 2番  ○ 3番\n"
         "1位の評価点の 98% と2位: 100.0 - 100.0 × 0.02 = 98.0 > 80.0 → 抜けた1頭: "
         "◎-○▲△×× と ○-▲\n"
         "評価点のある馬 4/4 頭: 3/4 以上\n"
         "データが見送りとするレース: 見送り (印はそのまま)\n"
         "買い目 見送り\n"},
        {"one scored", fieldOf({90, 0}),
         "買い目の決め方\n"
         "評価点のある馬が2頭未満: 印なし、見送り\n"
         "買い目 見送り\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toUtf8(explain(c.field).Bets()), c.text) << c.what;
}

TEST_F(ExplanationTest, AScoreNamesItsFiguresAsShownItsRankAndWhyItsMarkDiffersFromIt) {
    FakeField lastLower; // more top figures, but the lower last race
    lastLower.runners = {runs({fig(80), fig(100), fig(100)}), runs({fig(95)})};
    FakeField fewerTop; // the best score, but fewer top figures
    fewerTop.runners = {runs({fig(90), fig(90)}), runs({fig(99), fig(99), fig(99)}),
                        runs({fig(100), fig(50), fig(50), fig(100), fig(100)})};
    FakeField alone; // and a threshold that one decimal would print like its last figure
    alone.runners = {runs({tenthFig(17), fig(100), fig(100)})};
    const struct {
        const char* what;
        FakeField field;
        int runner;
        const char* text;
    } cases[] = {
        {"first, exchanged for its last race", lastLower, 1,
         "1番  評価点 100.0  順位 1  印 ○\n"
         "指数のある走 3: 前走 +80 (80.0)、2走前 +100 (100.0)、3走前 +100 (100.0)\n"
         "平均の 0.87: 280.0 ÷ 3 × 0.87 = 81.2\n"
         "これを超える指数 2: 評価点 = (100.0 + 100.0) ÷ 2 = 100.0\n"
         "順位 1 (評価点の高い順、同点は馬番の大きい方が上): 2位 2番 95.0\n"
         "印 ○ (印の順 2): 順位 1 だが、1位と2位を入れ替えた\n"
         "入れ替えの理由: 上位指数 3 > 1、前走 80.0 < 95.0\n"
         "(1位の上位指数が2位より少ないか、少なくなくても前走の指数が2位より低いと入れ替える)\n"
         "買い目の組: 1-2\n"},
        {"second, exchanged for its top figures", fewerTop, 2,
         "2番  評価点 99.0  順位 2  印 ◎\n"
         "指数のある走 3: 前走 +99 (99.0)、2走前 +99 (99.0)、3走前 +99 (99.0)\n"
         "平均の 0.87: 297.0 ÷ 3 × 0.87 = 86.1\n"
         "これを超える指数 3: 評価点 = (99.0 + 99.0 + 99.0) ÷ 3 = 99.0\n"
         "順位 2 (評価点の高い順、同点は馬番の大きい方が上): 1位 3番 100.0 / 3位 1番 90.0\n"
         "印 ◎ (印の順 1): 順位 2 だが、1位と2位を入れ替えた\n"
         "入れ替えの理由: 上位指数 1 < 3\n"
         "(1位の上位指数が2位より少ないか、少なくなくても前走の指数が2位より低いと入れ替える)\n"
         "買い目の組: 2-3 1-2\n"},
        {"alone", alone, 1,
         "1番  評価点 93.9  順位 1  印 なし\n"
         "指数のある走 3: 前走 +82 (81.7)、2走前 +100 (100.0)、3走前 +100 (100.0)\n"
         "平均の 0.87: 281.7 ÷ 3 × 0.87 = 81.69\n"
         "これを超える指数 3: 評価点 = (81.7 + 100.0 + 100.0) ÷ 3 = 93.9\n"
         "順位 1 (評価点の高い順、同点は馬番の大きい方が上)\n"
         "印なし: 評価点のある馬が2頭未満\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toUtf8(explain(c.field).Score(c.runner)), c.text) << c.what;
    const TExplanation explanation = explain(lastLower);
    EXPECT_EQ(explanation.ScoreAndBets(1), explanation.Score(1) + "\n" + explanation.Bets());
    EXPECT_EQ(explanation.Score(3), "");
    EXPECT_EQ(explanation.Figure(1, 5), "");
}
