// The qualification check: registered passes, the master rank, certificates.
#pragma once

#include <QDialog>

class Navigator;
struct StudyState;

class TSikakuCheckForm : public QDialog {
    Q_OBJECT
public:
    TSikakuCheckForm(StudyState& st, Navigator& navigator, QWidget* parent = nullptr);

private:
    StudyState& st_;
    Navigator& navigator_;
};
