// The OK/Cancel box a drill asks before it stops; the only window that
// answers the user while a drill runs.
#pragma once

#include "main/core/RunnerPorts.h"

class KeyState;
class QWidget;

class QtConfirm : public Confirm {
public:
    QtConfirm(KeyState& keys, QWidget* parent) : keys_(keys), parent_(parent) {}
    bool confirm(const std::string& text, const std::string& caption) override;

private:
    KeyState& keys_;
    QWidget* parent_;
};
