// Results of the last test of a level.
#pragma once

#include <QDialog>

class Navigator;
struct StudyState;

class TResultDsp2Form : public QDialog {
    Q_OBJECT
public:
    TResultDsp2Form(StudyState& st, Navigator& navigator, QWidget* parent = nullptr);

private:
    StudyState& st_;
    Navigator& navigator_;
};
