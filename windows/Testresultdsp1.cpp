#include "windows/Testresultdsp1.h"

#include "main/Navigator.h"
#include "main/core/StudyState.h"
#include "support/FormKit.h"

TResultDsp1Form::TResultDsp1Form(StudyState& st, Navigator& navigator, QWidget* parent) : QDialog(parent), st_(st), navigator_(navigator) {
    kit::buildForm(this, "テスト結果（段別）の表示", 313, 455, kit::kCream, true);
}
