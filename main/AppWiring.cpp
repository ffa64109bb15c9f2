#include "main/AppWiring.h"

#include <QMessageBox>

#include "main/core/QuestionOrder.h"
#include "support/core/Settings.h"

MasumeServices AppWiring::services() {
    MasumeServices s;
    s.loadSettings = [](StudyState& st) { loadSettings(st, settingsPath(st.exeDir)); };
    s.saveSettings = [](const StudyState& st) {
        std::string error;
        if (saveSettings(st, settingsPath(st.exeDir), &error)) return true;
        QMessageBox::critical(nullptr, QString::fromUtf8("tateyokom"), QString::fromStdString(error));
        return false;
    };
    return s;
}
