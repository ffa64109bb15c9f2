// A class folder for the benchmarks: children こども0000… in dir, each with
// passes, a full record of recent answers and a 200-line history, the same
// for the same number of children.
#pragma once

#include <QDir>
#include <QString>
#include <random>
#include <string>
#include <vector>

#include "main/core/FactRecord.h"
#include "main/core/History.h"
#include "main/core/Settings.h"

inline void makeClass(const QString& dir, int children) {
    std::mt19937 random(20261209);
    for (int i = 0; i < children; ++i) {
        const std::string folder = QStringLiteral("%1/こども%2/").arg(dir).arg(i, 4, 10, QChar('0')).toStdString();
        QDir().mkpath(QString::fromStdString(folder));
        StudyState st;
        loadSettings(st, std::string());
        st.studentName = "こども" + std::to_string(i);
        for (int c = 0; c < kRecCols; ++c)
            for (int r = 0; r < kRecRows; ++r) st.recCheckArray[c][r] = int(random() % 3 == 0);
        for (int round = 0; round < kRecentOutcomes; ++round)
            for (int q = 0; q < kFactsRecorded; ++q)
                recordAnswer(st.factRecord, q, random() % 5 != 0, 600 + int(random() % 2400), 2600);
        std::vector<HistoryEntry> days;
        for (int d = 0; d < 200; ++d)
            days.push_back({"2026-" + std::to_string(1 + d / 28 % 12) + "-" + std::to_string(1 + d % 28) + " 16:05:09",
                            int(random() % 13), 0, 1, 20 + int(random() % 8), int(random() % 5), 0, 1500});
        saveSettings(st, folder + kSettingsFileName, nullptr);
        saveRecordFile(st.factRecord, folder + kFactRecordFileName);
        appendHistoryFile(folder + kHistoryFileName, days);
    }
}
