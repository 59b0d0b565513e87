#include "sampleday/SamplePieces.h"

namespace {

const std::array<const char*, 40> kSyllables{
    "ア", "イ", "ウ", "エ", "オ", "カ", "キ", "ク", "ケ", "コ", "サ", "シ", "ス", "セ",
    "ソ", "タ", "チ", "ツ", "テ", "ト", "ナ", "ニ", "マ", "ミ", "ム", "メ", "ラ", "リ",
    "ル", "レ", "ロ", "ダ", "ド", "ガ", "ゴ", "バ", "ボ", "パ", "ン", "ー"};

} // namespace

const std::array<const char*, 16> kSampleJockeys{
    "武豊", "岡部", "横山典", "蛯名",   "柴田善", "安藤勝", "河内", "松永幹",
    "四位", "福永", "後藤",   "田中勝", "藤田",   "熊沢",   "池添", "幸"};
const std::array<int, 8> kSampleDistances{1000, 1200, 1400, 1600, 1800, 2000, 2200, 2400};

std::string SampleHorseName(Dice& dice) {
    std::string name;
    int length = dice.between(3, 8);
    for (int i = 0; i < length; ++i)
        name += i == 0 ? kSyllables[static_cast<std::size_t>(dice.below(38))] // no ン or ー first
                       : dice.pick(kSyllables);
    return name;
}

int SampleBracketOf(int number, int runners) {
    if (runners <= 8)
        return number;
    int base = runners / 8;
    int extra = runners % 8;
    for (int bracket = 1; bracket <= 8; ++bracket) {
        int size = base + (bracket > 8 - extra ? 1 : 0);
        if (number <= size)
            return bracket;
        number -= size;
    }
    return 8;
}
