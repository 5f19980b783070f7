#pragma once
// Base of the windows that are created in their place at start-up but whose contents are still to come:
// each has its component name and caption, and stays empty until its own unit fills it.

#include <QDialog>
#include <QString>

class TPendingForm : public QDialog {
public:
    TPendingForm(const QString& objectName, const QString& caption, QWidget* parent);
    void FormCreate() {}
};
