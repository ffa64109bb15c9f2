// Connects the main window to the files, devices and windows it uses.
#pragma once

#include "main/MasumeForm.h"

class AppWiring {
public:
    AppWiring(StudyState& st, Clock& clock) : st_(st), clock_(clock) {}
    MasumeServices services();

private:
    StudyState& st_;
    Clock& clock_;
};
