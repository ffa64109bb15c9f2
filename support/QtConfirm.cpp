#include "support/QtConfirm.h"

#include <QMessageBox>

#include "support/KeyState.h"

bool QtConfirm::confirm(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Ok);
    keys_.setAllowedBox(&box);
    const int answer = box.exec();
    keys_.setAllowedBox(nullptr);
    // Keys must reach the window again once the box is gone, also where no
    // window manager hands the keyboard back to it.
    if (parent_) parent_->window()->activateWindow();
    return answer == QMessageBox::Ok;
}
