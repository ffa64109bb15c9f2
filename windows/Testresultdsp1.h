// Results of the last test of one table.
#pragma once

#include <QDialog>

class Navigator;
struct StudyState;

class TResultDsp1Form : public QDialog {
    Q_OBJECT
public:
    TResultDsp1Form(StudyState& st, Navigator& navigator, QWidget* parent = nullptr);

private:
    StudyState& st_;
    Navigator& navigator_;
};
