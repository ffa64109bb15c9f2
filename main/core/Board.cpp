#include "main/core/Board.h"

#include "main/core/FactTables.h"
#include "main/core/QuestionOrder.h"
#include "support/core/Codec.h"

namespace {
const std::string kIdeographicSpace = "　";
}

std::string withoutFullWidthSpaces(const std::string& text) {
    std::string out = text;
    for (std::size_t pos = out.find(kIdeographicSpace); pos != std::string::npos; pos = out.find(kIdeographicSpace, pos))
        out.erase(pos, kIdeographicSpace.size());
    return out;
}

void Board::showMessage(const std::string& text) {
    st_.msgText = "◎" + text;
    view_.setFieldText(Field::Message, st_.msgText);
}

void Board::showProgress(int n) {
    if (n > kFactCount) n -= kFactCount;
    view_.setProgressBar(n);
    view_.setFieldText(Field::Counter, std::to_string(n));
}

void Board::showPassLabel(int n) {
    const std::string digit = n >= 1 && n <= 9 ? toFullWidthDigits(std::to_string(n)) : std::string();
    view_.setFieldText(Field::PassLabel, "[" + digit + "回目]");
}

void Board::showFormula(const std::string& text) { view_.setFieldText(Field::Formula, withoutFullWidthSpaces(text)); }

void Board::showAnswer(const std::string& text, int correctFlag) {
    view_.setAnswerColour(correctFlag == 1);
    view_.setFieldText(Field::Answer, toFullWidthDigits(text));
}

void Board::showReading(const std::string& text, bool partial) {
    view_.setFieldText(Field::Reading, partial ? codec::leadingBytes(text, kPartialReadingBytes) : text);
}

void Board::showHint(int q) {
    const std::string& hint = q >= 0 && q < kFactCount ? st_.mnemonicTable[q + 1] : std::string();
    view_.setFieldText(Field::Hint, hint);
}

void Board::showMark(const std::string& text) { view_.setFieldText(Field::Mark, text); }
void Board::clearHint() { view_.setFieldText(Field::Hint, {}); }

void Board::clearFields() {
    view_.setFieldText(Field::Formula, {});
    view_.setFieldText(Field::Answer, {});
}

void Board::clearReading() { view_.setFieldText(Field::Reading, {}); }
void Board::composDead() { view_.setControlsEnabled(false); }
void Board::composAlive() { view_.setControlsEnabled(true); }
void Board::sankakuPt() { view_.showAbortHint(); }
void Board::drawDecorations() { view_.drawDecorations(); }

void Board::clearBoard() {
    showMark({});
    clearHint();
    showProgress(0);
    clearKekka(st_);
    composAlive();
    clearFields();
    clearReading();
    st_.msgText = "★メニューを決めて，｢始める」をクリックしてね。";
    view_.setFieldText(Field::Message, st_.msgText);
    drawDecorations();
}

void Board::showSelection() {
    static const char* const phrases[kContentCount] = {"(順)の練習をします。",   "(逆)の練習をします。",
                                                       "(乱)の練習をします。",   "(順)のテストをします。",
                                                       "(乱)のテストをします。", "の九九表を参照します。"};
    const int content = st_.contentIndex;
    // An unknown content keeps the phrase and the colour it had.
    if (content >= 0 && content < kContentCount) st_.contentPhrase = phrases[content];
    if (content >= 0 && content <= 2) view_.setMessageColour(MessageColour::Blue);
    if (content == 3 || content == 4) view_.setMessageColour(MessageColour::Maroon);
    st_.msgText = "◎「" + rangeName(st_) + "」" + st_.contentPhrase;
    view_.setFieldText(Field::Message, st_.msgText);
}
