#include "windows/AdultGate.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "support/FormKit.h"

AdultGate::AdultGate(QWidget* parent, const QString& what) : QDialog(parent) {
    setWindowTitle(kit::u("おとなの方へ"));
    auto* layout = new QVBoxLayout(this);
    auto* words = new QLabel(what + kit::u("\n\nよろしければ、下のボタンを ３びょう おしつづけてください。"), this);
    // Lines broken by hand, between words.
    words->setWordWrap(false);
    kit::setPixelFont(words, 15);
    layout->addWidget(words);
    hold_ = new QPushButton(kit::u("おしつづける（３びょう）"), this);
    kit::setPixelFont(hold_, 15, true);
    hold_->setAutoDefault(false);
    hold_->setAccessibleDescription(kit::u("３びょう おしつづけると すすみます"));
    layout->addWidget(hold_);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, kHoldMs);
    bar_->setTextVisible(false);
    layout->addWidget(bar_);
    auto* cancel = new QPushButton(kit::u("やめる"), this);
    cancel->setDefault(true);
    layout->addWidget(cancel);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    ticker_.setInterval(50);
    connect(&ticker_, &QTimer::timeout, this, &AdultGate::tick);
    // Held with the mouse or the space bar (whose repeats are not presses); let go, it starts again.
    connect(hold_, &QPushButton::pressed, this, [this] {
        held_.start();
        ticker_.start();
    });
    connect(hold_, &QPushButton::released, this, [this] {
        ticker_.stop();
        bar_->setValue(0);
    });
}

void AdultGate::tick() {
    if (!hold_->isDown()) {
        ticker_.stop();
        bar_->setValue(0);
        return;
    }
    bar_->setValue(int(std::min<qint64>(held_.elapsed(), kHoldMs)));
    if (held_.elapsed() < kHoldMs) return;
    ticker_.stop();
    hold_->setDown(false);
    accept();
}

bool adultAllows(QWidget* parent, const QString& what) {
    AdultGate gate(parent, what);
    return gate.exec() == QDialog::Accepted;
}
