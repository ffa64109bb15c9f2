// What only an adult should do on a class computer (clearing passes or the
// record, choosing or leaving the class folder, the class record) waits
// behind a button held down for three seconds, with words for an adult: a
// child does not pass it by chance. It guards against accidents only; the
// share's own permissions guard against a determined reader.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

class QProgressBar;
class QPushButton;

class AdultGate : public QDialog {
    Q_OBJECT

public:
    static constexpr int kHoldMs = 3000;
    // `what`: what will happen, for the adult.
    AdultGate(QWidget* parent, const QString& what);
    QPushButton* holdButton() const { return hold_; }

private:
    void tick();
    QPushButton* hold_;
    QProgressBar* bar_;
    QTimer ticker_;
    QElapsedTimer held_;
};

// True when an adult held the button down to the end.
bool adultAllows(QWidget* parent, const QString& what);
