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
    return answer == QMessageBox::Ok;
}
