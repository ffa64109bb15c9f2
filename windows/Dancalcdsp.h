// The whole multiplication table with its readings.
#pragma once

#include <QDialog>

class Navigator;
struct StudyState;

class TDanCalcForm : public QDialog {
    Q_OBJECT
public:
    TDanCalcForm(StudyState& st, Navigator& navigator, QWidget* parent = nullptr);

private:
    StudyState& st_;
    Navigator& navigator_;
};
