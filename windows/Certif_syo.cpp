#include "windows/Certif_syo.h"

#include "main/Navigator.h"
#include "main/core/StudyState.h"
#include "support/FormKit.h"

TCertForm2::TCertForm2(StudyState& st, Navigator& navigator, QWidget* parent) : QDialog(parent), st_(st), navigator_(navigator) {
    kit::buildForm(this, "証明書フォーマット", 410, 560, kit::kCream, true);
}
