// Name, version and maker of the program.
#pragma once

#include <QDialog>

class Navigator;
struct StudyState;

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    TAboutForm(StudyState& st, Navigator& navigator, QWidget* parent = nullptr);

private:
    StudyState& st_;
    Navigator& navigator_;
};
