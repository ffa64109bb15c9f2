#include "windows/Dancalcdsp.h"

#include "main/Navigator.h"
#include "main/core/StudyState.h"
#include "support/FormKit.h"

TDanCalcForm::TDanCalcForm(StudyState& st, Navigator& navigator, QWidget* parent) : QDialog(parent), st_(st), navigator_(navigator) {
    kit::buildForm(this, "■段全部の計算", 1219, 798, kit::kCream, true);
}
