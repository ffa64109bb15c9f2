// The certificate, shown and printed.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QAction;
class PrintJob;
struct StudyState;

class TCertForm2 : public QDialog {
    Q_OBJECT
public:
    TCertForm2(StudyState& st, QWidget* parent = nullptr);

    QWidget* client = nullptr;  // what is printed
    QLabel* Image2 = nullptr;   // olive bands
    QLabel* Image3 = nullptr;
    QLabel* Image4 = nullptr;   // tulip bands
    QLabel* Image5 = nullptr;
    QLabel* StaticText5 = nullptr;  // titles: range, master, 免許皆伝
    QLabel* StaticText7 = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* Label1 = nullptr;  // name
    QLabel* Label2 = nullptr;  // 殿
    QLabel* Label3 = nullptr;  // lines 1-3
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Image6 = nullptr;  // seal
    QLabel* StaticText4 = nullptr;  // date
    QLabel* Panel1 = nullptr;       // number box
    QLabel* NoLabel = nullptr;
    QLabel* StaticText6 = nullptr;  // number
    QLabel* StaticText2 = nullptr;  // タテヨコ塾 師範
    QLabel* StaticText3 = nullptr;  // 九九 zed
    QLabel* Image1 = nullptr;       // portrait
    QAction* Print1 = nullptr;
    QAction* C1 = nullptr;

    // Kind, texts and number as the study state has them now.
    void FormPaint();
    // Prints the client area on the default printer; false when no job
    // reached it (a box has said so). A job that waits or later fails gets
    // a box too, while the window is open.
    bool PrintClick();
    void C1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void showHolder(const QString& holder);

    StudyState& st_;
    QString shownHolder_;  // null until the first paint
};
