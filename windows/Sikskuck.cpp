#include "windows/Sikskuck.h"

#include "main/Navigator.h"
#include "main/core/StudyState.h"
#include "support/FormKit.h"

TSikakuCheckForm::TSikakuCheckForm(StudyState& st, Navigator& navigator, QWidget* parent) : QDialog(parent), st_(st), navigator_(navigator) {
    kit::buildForm(this, "皆伝資格チェック", 477, 579, kit::kCream, true);
}
