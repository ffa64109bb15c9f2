#include "main/AppWiring.h"

#include <QDir>
#include <QMessageBox>

#include "main/core/QuestionOrder.h"
#include "support/core/Mnemonics.h"
#include "main/core/Settings.h"

namespace {
QString u(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
// Hints and sounds are looked up where the program was started.
std::string workingDir() { return QDir::currentPath().toStdString(); }
}  // namespace

MasumeServices AppWiring::services() {
    MasumeServices s;
    s.sound = &player_;
    s.loadSettings = [](StudyState& st) { loadSettings(st, settingsPath(st.exeDir)); };
    s.saveSettings = [](const StudyState& st) {
        std::string error;
        saveSettings(st, settingsPath(st.exeDir), &error);
        return error;
    };
    s.checkAndLoadSounds = [this](StudyState& st) {
        player_.prepareSounds(st, workingDir(), [](const std::string& text, const std::string& caption) {
            QMessageBox::information(nullptr, u(caption), u(text), QMessageBox::Ok | QMessageBox::Cancel);
        });
    };
    s.loadHints = [](StudyState& st) {
        if (!loadMnemonics(st.mnemonicTable, kMnemonicFileName))
            QMessageBox::information(nullptr, u(kMnemonicMissingCaption), u(kMnemonicMissingText));
    };
    s.releaseSounds = [this] { player_.releaseSounds(); };
    s.navigator = &navigator_;
    return s;
}
