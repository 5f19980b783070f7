// Temporary: waits for the colour button.
#include "app/dialogs/GradientPointOptions.h"
#include "platform/MessageBoxes.h"
TfMultOpt* fMultOpt = nullptr;
TfMultOpt::TfMultOpt(QWidget* parent) : QDialog(parent) { setObjectName("fMultOpt"); setWindowTitle("Gradient Point Options"); }
void TfMultOpt::FormCreate() {}
bool TfMultOpt::eventFilter(QObject* w, QEvent* e) { return QDialog::eventFilter(w, e); }
void TfMultOpt::Prepare(int pos, int, bool, TColor) { pixLeft = pos; }
TColor TfMultOpt::ChosenColor() const { return 0; }
int TfMultOpt::Execute() { return mrCancel; }
void TfMultOpt::SetExecuteHook(TExecuteHook) {}
