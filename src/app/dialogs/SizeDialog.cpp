#include "app/dialogs/SizeDialog.h"

TfrmSizer* frmSizer = nullptr;
