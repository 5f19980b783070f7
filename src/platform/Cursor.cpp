#include "platform/Cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
int depth = 0;
bool overridden = false; // whether our wait cursor is on the application's override stack
} // namespace

HourGlass::HourGlass() {
    if (depth++ == 0 && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        overridden = true;
    }
}

HourGlass::~HourGlass() {
    if (--depth == 0 && overridden) {
        overridden = false;
        if (QCoreApplication::instance()) QGuiApplication::restoreOverrideCursor();
    }
}

int HourGlass::Depth() {
    return depth;
}
