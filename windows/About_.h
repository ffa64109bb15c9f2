// Name, version and maker of the program.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
struct StudyState;

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;  // the top panel
    QLabel* Label1 = nullptr;  // subtitle
    QLabel* Label2 = nullptr;  // product name
    QLabel* Label3 = nullptr;  // version
    QLabel* Image1 = nullptr;  // small face
    QLabel* Image2 = nullptr;  // emblem
    QLabel* Label4 = nullptr;  // maker
    QLabel* voiceCredit = nullptr;  // the voice's licence, where it ships
    QPushButton* Button1 = nullptr;

    void Button1Click();


private:
    void buildTopPanel();
};
