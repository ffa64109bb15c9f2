// The settings dialog: effect sounds, number of practice passes and the
// answer pause. It edits the study state directly; there is no Cancel.
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;

class Clock;
class Navigator;
class Sound;
struct StudyState;

class TJoukenSetForm : public QDialog {
    Q_OBJECT

public:
    TJoukenSetForm(StudyState& st, Navigator& navigator, Sound& sound, Clock& clock, QWidget* parent = nullptr);
    ~TJoukenSetForm() override;

    // Set once the controls hold the state, cleared on closing: until then
    // the check box's handler must not toggle anything.
    bool dialogReady = false;

    QGroupBox* GroupBox1 = nullptr;  // ◎音声設定
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button2 = nullptr;
    QLabel* Label1 = nullptr;        // scale over the track bar
    QSlider* EffectBar = nullptr;

    QGroupBox* GroupBox2 = nullptr;  // ◎練習の回数
    QLabel* Label2 = nullptr;
    QSpinBox* UpDown1 = nullptr;
    QLineEdit* Edit1 = nullptr;      // the number field of UpDown1
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;

    QGroupBox* GroupBox3 = nullptr;  // ◎答の間(練習)
    QLabel* Label5 = nullptr;
    QSpinBox* UpDown2 = nullptr;
    QLineEdit* Edit2 = nullptr;      // the number field of UpDown2
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;

    // Our own band under the rest: the spoken 九九.
    QGroupBox* voiceGroup = nullptr;
    QCheckBox* voiceBox = nullptr;   // 九九を こえで よむ
    QCheckBox* byEarBox = nullptr;   // きいて こたえる (tests by ear)
    QSlider* voiceVolumeBar = nullptr;
    QSlider* voiceRateBar = nullptr;
    QLabel* noVoiceLabel = nullptr;

    QLabel* Image1 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button1 = nullptr;

    void FormCreate();
    void CheckBox1Click();
    void EffectBarChange(int position);
    void UpDown1Click(int position);
    void UpDown2Click(int position);
    void Button2Click();
    void Button4Click();
    void Button1Click();
    void FormClose();

    void done(int result) override;


private:
    QWidget* client_ = nullptr;
    void buildControls();
    void buildSoundGroup();
    void buildPassesGroup();
    void buildPauseGroup();
    void buildBottomRow();
    void buildVoiceGroup();
    void showVoiceChoice();
    void voiceBarsMoved();
    void connectControls();

    StudyState& st_;
    Navigator& navigator_;
    Sound& sound_;
    Clock& clock_;
};
