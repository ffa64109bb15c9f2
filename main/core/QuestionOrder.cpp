#include "main/core/QuestionOrder.h"

#include <chrono>

#include "main/core/FactTables.h"
#include "support/core/Codec.h"

RangeStretch rangeStretch(int rangeIndex) {
    // The order holds the tables in range-list order, so a level is three
    // tables' stretch in a row.
    switch (rangeKind(rangeIndex)) {
    case RangeKind::Table: return {9 * rangeIndex, 9 * rangeIndex + 9, 9};
    case RangeKind::Level: return {27 * (rangeIndex - 9), 27 * (rangeIndex - 8), 27};
    default: return {0, 81, 81};
    }
}

void buildQuestionOrder(StudyState& st) {
    for (int r = 0; r < 9; ++r) {
        const int table = danOfRange[r];
        for (int m = 0; m < 9; ++m) st.questionOrder.at(size_t(9 * r + m)) = (table - 1) * 9 + m;
    }
}

void reverseBlocks(StudyState& st) {
    for (int block = 0; block < 9; ++block) {
        for (int j = 0; j < 4; ++j) std::swap(st.questionOrder[9 * block + j], st.questionOrder[9 * block + 8 - j]);
    }
}

std::vector<int> ranksFromDraws(const std::vector<int>& draws) {
    const int n = int(draws.size());
    std::vector<int> rank(n, 0);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (draws.at(size_t(j)) > draws.at(size_t(i))) ++rank.at(size_t(i));
    // Equal values share a rank so far; spread them by position.
    for (int i = 0; i < n; ++i) {
        const int shared = rank[i];
        int next = shared + 1;
        for (int j = i + 1; j < n; ++j)
            if (rank.at(size_t(j)) == shared) rank.at(size_t(j)) = next++;
    }
    return rank;
}

void seedRandom(StudyState& st) {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    st.random.seed(static_cast<unsigned>(ticks ^ (wall >> 7)));
}

std::vector<int> drawValues(std::mt19937& random, int count) {
    std::uniform_int_distribution<int> dist(0, 98);
    std::vector<int> draws(size_t(std::max(count, 0)));
    for (int& v : draws) v = dist(random);
    return draws;
}

void shuffle(StudyState& st, int count) {
    seedRandom(st);
    const std::vector<int> ranks = ranksFromDraws(drawValues(st.random, count));
    for (int k = 0; k < count; ++k) st.shuffleRanks.at(size_t(k)) = ranks.at(size_t(k));
}

int questionAt(const StudyState& st, int k) {
    const int pos = st.orderMode == 1 ? st.firstPos + st.shuffleRanks[k] : st.firstPos + k;
    return st.questionOrder[pos];
}

void selectSpeed(StudyState& st, int speedIndex) {
    static constexpr int pauses[kSpeedCount] = {100, 200, 200, 100};
    static constexpr int limits[kSpeedCount] = {5500, 3800, 2600, 1800};
    st.speedIndex = speedIndex;
    if (speedIndex < 0 || speedIndex >= kSpeedCount) return;
    st.stepPause = pauses[speedIndex];
    st.waitLimit = limits[speedIndex];
}

std::string rangeName(const StudyState& st) {
    if (rangeKind(st.rangeIndex) == RangeKind::All) return "すべての段";
    if (rangeKind(st.rangeIndex) == RangeKind::Level) return std::string(danNames[st.rangeIndex]);
    if (st.currentDan >= 1 && st.currentDan <= 9) return std::string(danNames.at(size_t(st.currentDan - 1)));
    return {};
}

int studentNumber(std::string_view utf8Name) {
    const std::string bytes = codec::toCp932(utf8Name);
    std::uint32_t sum = 0;
    for (const char c : bytes) {
        const auto widened = static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<std::int8_t>(c)));
        sum += widened;
    }
    return static_cast<int>(sum);
}

void clearKekka(StudyState& st) {
    for (auto& row : st.kekkaArray)
        for (int& cell : row) cell = 2;
}
