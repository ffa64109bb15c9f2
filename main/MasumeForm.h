// The main window: selections, the board on which drills show each fact,
// the tutor with a speech balloon, and the menus.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>

#include "main/core/Board.h"
#include "main/core/RunnerPorts.h"
#include "main/core/StudyState.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;
class KeyState;
class MasumeCanvas;
class BoardLabel;
class Household;
class Keeper;
class Navigator;
class Runner;
struct RunOutcome;
struct HistoryEntry;

// What the window asks of the rest of the program; empty steps do nothing,
// so tests can build the window without touching files or devices.
struct MasumeServices {
    Sound* sound = nullptr;
    std::function<void(StudyState&)> loadSettings;
    // Each returns an empty text, or what went wrong, naming the file.
    std::function<std::string(const StudyState&)> saveSettings;
    std::function<void(StudyState&)> checkAndLoadSounds;
    std::function<void(StudyState&)> loadHints;
    std::function<void()> releaseSounds;
    // Adds a completed test to the child's history.
    std::function<void(const HistoryEntry&)> appendHistory;
    // Opens the other windows; without one nothing opens.
    Navigator* navigator = nullptr;
    // Saves passes and the record when they change; without one they wait for the quit.
    Keeper* keeper = nullptr;
    // The children of this computer and of its class; without one, the name is only a name.
    Household* household = nullptr;
};

class TMasumeForm : public QMainWindow, public BoardView {
    Q_OBJECT
public:
    TMasumeForm(StudyState& st, KeyState& keys, Clock& clock, MasumeServices services, QWidget* parent = nullptr);
    ~TMasumeForm() override;

    // BoardView
    void setFieldText(Field field, const std::string& text) override;
    void setAnswerColour(bool red) override;
    void setMessageColour(MessageColour colour) override;
    void setProgressBar(int value) override;
    void setControlsEnabled(bool enabled) override;
    void showAbortHint() override;
    void drawDecorations() override;

    // handlers
    void ExecButtonClick();
    void Button2Click();
    void ComboBox1Change(int row);
    void ComboBox2Change(int row);
    void RadioGroup1Click(int item);
    void Edit2Change(const QString& text);
    void Timer1Timer();
    void iroChange();
    void K2Click(bool checked);
    void X1Click();
    void Kekka_Dsp();
    void KekkaD_Dsp();
    void K1Click();
    void A1Click();
    void HardFactsClick();  // the map of hard facts, and their practice
    void C1Click();
    void H2Click();
    void V1Click();
    void TestT1Click();
    void ChildrenClick();  // 子どもを かえる
    // With a class folder, the typed name chooses the child; false when the
    // child before could not be saved and the name went back.
    bool confirmName();
    void showSelection();
    void sankakuPt();
    // Lists, currentDan, results entries and message from rangeIndex and
    // contentIndex, as at start-up.
    void syncSelections();

    Board& board() { return board_; }
    bool decorationsDrawn() const;
    bool running() const { return running_; }
    void setSound(Sound* sound);

    // controls, named as on the form
    QLabel *Panel1, *Panel4, *Panel5, *StaticText1, *StaticText2, *StaticText3, *StaticText4, *StaticText5,
        *StaticText6, *StaticText7, *StaticText8, *StaticText9, *StaticText10, *StaticText11, *StaticText12,
        *StaticText13, *StaticText14, *StaticText15, *StaticText16, *Panel6, *Panel8, *Label1, *Image3;
    BoardLabel* Label5;
    QComboBox *ComboBox1, *ComboBox2;
    QGroupBox* RadioGroup1;
    QButtonGroup* radioButtons;
    QPushButton *Button1, *Button2;
    QToolButton *SpeedButton1, *SpeedButton3;
    QLineEdit* Edit2;
    QProgressBar* ProgressBar3;
    QTimer* Timer1;
    QAction *R1, *K2, *childrenAction, *X1, *L1, *KekkaDDsp, *K1, *Cert, *A1, *hardFactsAction, *progressAction, *classRecordAction, *J1, *H2, *V1, *TestT1;
    MasumeCanvas* canvas;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void followChild();
    bool inClass() const;
    void buildControls();
    void buildSelectionLists();
    void buildBoard();
    void buildButtons();
    void buildTutor();
    void buildNamePanel();
    void buildShortcuts();
    void buildMenus();
    void FormCreate();
    void applyBackground();
    void refreshResultsEntries();
    bool askForNameIfEmpty();
    // Runs a drill inside the handler with the keys and the board of this
    // window, ends it, and only then opens what follows it.
    void run(const std::function<RunOutcome(Runner&)>& what);
    // Saves the settings and the record at quit; a failure is shown once per way of quitting.
    bool saveAndReport();
    void followChoicesMadeElsewhere();
    // Every control that shows what the settings file holds, from the state.
    void showChild();

    // Without a player the drills run silently.
    class SilentSound : public Sound {
    public:
        void playSound(SoundKind) override {}
        void beep() override {}
    } silentSound_;
    StudyState& st_;
    KeyState& keys_;
    Clock& clock_;
    MasumeServices services_;
    Board board_;
    bool running_ = false;
    bool created_ = false;
    bool saveFailureShown_ = false;
    bool confirmingName_ = false;  // a box about the name moves the focus, which confirms again
    QPointer<QWidget> focusBeforeRun_;
};
