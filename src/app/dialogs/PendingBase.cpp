#include "app/dialogs/PendingBase.h"

TPendingForm::TPendingForm(const QString& objectName, const QString& caption, QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(caption);
}
