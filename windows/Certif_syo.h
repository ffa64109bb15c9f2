// The certificate, shown and printed.
#pragma once

#include <QDialog>

class Navigator;
struct StudyState;

class TCertForm2 : public QDialog {
    Q_OBJECT
public:
    TCertForm2(StudyState& st, Navigator& navigator, QWidget* parent = nullptr);

private:
    StudyState& st_;
    Navigator& navigator_;
};
