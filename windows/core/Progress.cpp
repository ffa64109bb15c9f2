#include "windows/core/Progress.h"

#include <algorithm>
#include <map>

#include "main/core/Median.h"

std::vector<DayProgress> progressByDay(const std::vector<HistoryEntry>& entries) {
    std::map<std::string, std::pair<DayProgress, std::vector<int>>> days;
    for (const HistoryEntry& e : entries) {
        auto& [d, times] = days[e.day()];
        d.day = e.day();
        ++d.tests;
        d.right += e.right;
        d.asked += e.asked();
        if (e.faultless()) ++d.fullMarks;
        if (e.right + e.wrong > 0) times.push_back(e.typicalMs);
    }
    std::vector<DayProgress> out;
    for (auto& [day, entry] : days) {
        auto& [d, times] = entry;
        d.typicalMs = median(times);
        out.push_back(d);
    }
    return out;
}

std::string shortDay(const std::string& day) {
    if (day.size() != 10) return day;
    auto number = [](std::string_view s) { return std::to_string(std::stoi(std::string(s))); };
    return number(day.substr(5, 2)) + "/" + number(day.substr(8, 2));
}
