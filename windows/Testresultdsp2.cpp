#include "windows/Testresultdsp2.h"

#include "main/Navigator.h"
#include "main/core/StudyState.h"
#include "support/FormKit.h"

TResultDsp2Form::TResultDsp2Form(StudyState& st, Navigator& navigator, QWidget* parent) : QDialog(parent), st_(st), navigator_(navigator) {
    kit::buildForm(this, "テスト結果（級別）の結果", 504, 482, kit::kCream, true);
}
